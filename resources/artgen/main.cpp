// Renders the plug-ins' pictures into a folder:
//   nimbrel_artgen <font-regular.ttf> <font-bold.ttf> <output-folder> [spin|meter|all]
// The output depends only on these sources, cairo and the font files, so the
// same tree renders the same pictures every time.
#include "MeterArtwork.h"
#include "SpinArtwork.h"

#include <exception>
#include <iostream>
#include <string>

int main(int argc, char **argv) {
  if (argc < 4 || argc > 5) {
    std::cerr << "usage: nimbrel_artgen <font-regular.ttf> <font-bold.ttf> <output-folder> [spin|meter|all]\n";
    return 2;
  }
  const std::string which = argc == 5 ? argv[4] : "all";
  try {
    const artgen::Fonts fonts = artgen::LoadFonts(argv[1], argv[2]);
    const std::string out = argv[3];
    if (which == "spin" || which == "all") {
      artgen::RenderSpinBackground(fonts, out + "/TWIRLIX.png");
      artgen::RenderSpinDialStrip(out + "/STITCH.png");
    }
    if (which == "meter" || which == "all")
      artgen::RenderMeterArtwork(fonts, out);
  } catch (const std::exception &e) {
    std::cerr << "nimbrel_artgen: " << e.what() << "\n";
    return 1;
  }
  return 0;
}

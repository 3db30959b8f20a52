// The substitute font, DejaVu Sans (Bitstream Vera derived licence, freely
// redistributable), linked into the library at build time from the build
// machine's fonts-dejavu-core package so that text never depends on files
// beside the plug-in. NIMBREL_GUI_SUBSTITUTE_FONT is its path (CMakeLists).
#include <cstdint>
#include <span>

#ifndef NIMBREL_GUI_SUBSTITUTE_FONT
#error "NIMBREL_GUI_SUBSTITUTE_FONT must name the substitute font file"
#endif

#if defined(_WIN32)
#define NIMBREL_GUI_RODATA ".section .rdata,\"dr\"\n"
#else
#define NIMBREL_GUI_RODATA ".section .rodata\n"
#endif

__asm__(NIMBREL_GUI_RODATA
        ".balign 16\n"
        "nimbrel_gui_substitute_font_begin:\n"
        ".incbin \"" NIMBREL_GUI_SUBSTITUTE_FONT "\"\n"
        "nimbrel_gui_substitute_font_end:\n"
        ".byte 0\n"
        ".text\n");

extern "C" const std::uint8_t nimbrel_gui_substitute_font_begin[] __asm__("nimbrel_gui_substitute_font_begin");
extern "C" const std::uint8_t nimbrel_gui_substitute_font_end[] __asm__("nimbrel_gui_substitute_font_end");

namespace gui {

std::span<const std::uint8_t> SubstituteFontBytes() {
  return {nimbrel_gui_substitute_font_begin, nimbrel_gui_substitute_font_end};
}

} // namespace gui

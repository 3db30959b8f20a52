# Writes the display font's licence text: Debian's copyright record of the
# font package followed by the full licence it names.
#   cmake -DCOPYRIGHT=<file> -DLICENSE=<file> -DOUTPUT=<file> -P FontLicense.cmake
file(READ ${COPYRIGHT} copyright)
file(READ ${LICENSE} license)
file(WRITE ${OUTPUT}.tmp
  "The display font embedded in this plug-in is Clear Sans Regular, copyright 2013 Intel,\n"
  "distributed under the Apache License, Version 2.0, unchanged from Debian's fonts-clear-sans package.\n\n"
  "${copyright}\n"
  "----------------------------------------------------------------------\n\n"
  "${license}")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)

// SPDX-License-Identifier: MIT
// Memory that fontconfig keeps for the whole process once text has been drawn (librsvg draws
// metafile text through pango and fontconfig); it does not grow with further use.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

// Text typed on the command line (render's TEXT, a font's new name) as UTF-8: Linux hands it
// over so; on Windows it is taken again from the wide command line, since
// main's arguments come in the ANSI code page (which the file names stay in,
// as the C library opens them so).
#pragma once

#include <string>

std::string TypedTextAsUtf8(const std::string& typed);

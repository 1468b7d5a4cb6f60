#include "TypedText.h"

std::string TypedTextAsUtf8(const std::string& typed) { return typed; }

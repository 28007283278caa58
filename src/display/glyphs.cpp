#include "display/glyphs.hpp"

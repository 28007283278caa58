#include "display/context.hpp"

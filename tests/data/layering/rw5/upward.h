// A reader header that reaches up to the conversion run: the layer check must refuse it.
#pragma once

#include "base/status.h"
#include "convert/conversion.h"

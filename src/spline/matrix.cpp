#include "spline/matrix.h"

// dari: numerical and statistical class library. Including this header gives
// every public class and function of every module.
#pragma once

#include "dari/platform/component.h"
#include "dari/platform/exceptions.h"
#include "dari/platform/extended.h"
#include "dari/platform/numeric.h"
#include "dari/platform/streams.h"
#include "dari/platform/uniform_random.h"

#include "dari/base/bitfield.h"
#include "dari/base/colors.h"
#include "dari/base/constants.h"
#include "dari/base/crc32.h"
#include "dari/base/error.h"
#include "dari/base/progress.h"
#include "dari/base/stream_helpers.h"
#include "dari/base/strings.h"
#include "dari/base/types.h"

#include "dari/math1/array_stats.h"
#include "dari/math1/integer_bits.h"
#include "dari/math1/interpolation.h"
#include "dari/math1/math1_error.h"
#include "dari/math1/random.h"
#include "dari/math1/sorting.h"

#include "dari/vector/int_vector.h"
#include "dari/vector/vector.h"
#include "dari/vector/vector_error.h"

#include "dari/complex/complex.h"

#include "dari/sline/sline.h"

#include "dari/matrix/matrix.h"
#include "dari/matrix/matrix_error.h"

#include "dari/statis/distributions.h"
#include "dari/statis/statis_error.h"

#include "dari/math2/covariance.h"
#include "dari/math2/eigen.h"
#include "dari/math2/math2_error.h"

#include "dari/fourier/fourier.h"

#include "dari/wavelet/wavelet.h"

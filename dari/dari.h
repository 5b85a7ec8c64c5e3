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

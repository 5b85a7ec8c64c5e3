// Types shared by every module: dynamic arrays, points and rectangles, the base
// enumerations read by ordinal, and the event types of the containers.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "dari/platform/component.h"

namespace dari {

// 0-based dynamic arrays.
using TDoubleArray = std::vector<double>;
using TIntArray = std::vector<int32_t>;
using TDouble2DArray = std::vector<std::vector<double>>;

// A point in the plane, x first.
struct TPointDouble {
  double x = 0.0;
  double y = 0.0;
};
using TPDblArray = std::vector<TPointDouble>;

// Two opposite corners (Left, Top) and (Right, Bottom), accepted in either order:
// every function that takes one sorts each axis itself.
struct TRectDouble {
  double Left = 0.0;
  double Top = 0.0;
  double Right = 0.0;
  double Bottom = 0.0;
};

// Element type of untyped arrays. Ordinals 0 and 1 are both 8-byte doubles,
// 3 and 4 both 32-bit signed integers; other values are unknown kinds.
enum TVarKind : uint8_t { vkReal8 = 0, vkDouble = 1, vkSingle = 2, vkInteger = 3, vkLongInt = 4 };

// Direction: ordinal 0 runs along a row across the columns (one result per
// column), ordinal 1 runs down a column across the rows (one result per row).
enum TDims : uint8_t { dimColumns = 0, dimRows = 1 };

// Orientation of matrix aggregates: ordinal 0 runs along each row (horizontal,
// one result per row), ordinal 1 down each column (vertical, one per column).
enum TOrientation : uint8_t { orHorizontal = 0, orVertical = 1 };

// Logical combination of two bit fields; ordinal 3 clears the bits set in the other.
enum TLogicOp : uint8_t { loAnd = 0, loOr = 1, loXor = 2, loAndNot = 3 };

// Angle text formats: decimal degrees, degrees and decimal minutes, degrees,
// minutes and decimal seconds, a plain number.
enum TDegreeFormat : uint8_t { dfDeg = 0, dfDegMin = 1, dfDegMinSec = 2, dfNumber = 3 };

// Passed through only: decimal separator, language of date texts, state of the
// quoted-name parser.
enum TDecPSep : uint8_t { dsPoint = 0, dsComma = 1, dsBoth = 2 };
enum TLanguage : uint8_t { lgEnglish = 0, lgGerman = 1 };
enum TQuotedStrState : uint8_t { qsIdle = 0, qsInName = 1, qsDone = 2 };

// Events.
// Percentage of a long operation done, 0..100.
using TOnPercentDoneEvent = std::function<void(TObject* Sender, int Percent)>;
// An exchange of two elements during a sort. Vectors pass Kind 0, the two
// element indices (lower first) and 0, 0; matrices pass Kind 1 for two columns
// exchanged within the row range First..Last and 2 for two rows exchanged within
// the column range First..Last.
using TSortExchgEvent =
    std::function<void(TObject* Sender, uint8_t Kind, int Ix1, int Ix2, int First, int Last)>;
// Asks whether a long operation should stop: set Abort to true to stop it.
using TOnCheckAbortEvent = std::function<void(TObject* Sender, bool& Abort)>;

}  // namespace dari

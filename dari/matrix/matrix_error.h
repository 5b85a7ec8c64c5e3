// DARIMatrixError and the small types of the matrix module: the XML tag
// vocabulary shared by TMatrix, TMat3D and TMat4D, the user distance event, and
// the selectors of EdgeVector and Norm.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string_view>

#include "dari/base/error.h"
#include "dari/platform/component.h"

namespace dari {

// The exception of every matrix class; carries a message text only.
class DARIMatrixError : public DARIError {
 public:
  using DARIError::DARIError;
};

// The tags of the XML matrix format, indexed into MatXmlTagWords.
enum TMatXmlTag : uint8_t {
  xmlMatNumCols,
  xmlMatNumRows,
  xmlMatNumLayers,
  xmlMatNumTimeSlots,
  xmlMatCell,
  xmlMatBegin,
  xmlMatEnd,
  xmlInvalid
};

// The tag words of the XML matrix format, in the order of TMatXmlTag.
inline constexpr std::array<std::string_view, 8> MatXmlTagWords = {
    "numcols", "numrows", "numplanes", "numtimeslots", "cell", "matrix", "/matrix", "invalidtag"};

// User-defined distance between two rows (1-based) of the sender matrix.
using TOnCalcDistanceEvent = std::function<void(TObject* Sender, int Row1, int Row2, double& Distance)>;

// Aggregate of TMatrix::EdgeVector.
enum TEdgeOp : uint8_t { eopMin, eopMax, eopSum, eopMean };

// Matrix norm of TMatrix::Norm.
enum TNormType : uint8_t { ntColwise, ntRowwise, ntSpectral, ntFrobenius };

}  // namespace dari

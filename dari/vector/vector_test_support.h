// Helpers shared by the vector tests (not installed).
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "dari/vector/int_vector.h"
#include "dari/vector/vector.h"

namespace dari::testing_support {

// Resizes v to the given values and stores them (converted to its element type).
template <class V>
void SetValues(V& v, std::initializer_list<double> values) {
  v.Resize(static_cast<int>(values.size()));
  int i = 1;
  for (double x : values) v.SetVal(i++, static_cast<typename V::ElemType>(x));
}

// The elements of v as doubles.
template <class V>
std::vector<double> Values(const V& v) {
  std::vector<double> out;
  for (int i = 1; i <= v.NrOfElem(); ++i) out.push_back(static_cast<double>(v.Elem(i)));
  return out;
}

// A fixture holding vectors v and w; Set fills v and counts its OnChange events
// from then on.
template <class V>
class VectorFixture : public ::testing::Test {
 protected:
  using T = typename V::ElemType;
  void Set(std::initializer_list<double> values) {
    v.SetOnChange(nullptr);
    SetValues(v, values);
    v.SetOnChange([this](TObject*) { ++events; });
    events = 0;
  }
  V v, w;
  int events = 0;
};

using VectorTypes = ::testing::Types<TVector, TIntVector>;

}  // namespace dari::testing_support

// The process-wide progress and abort hooks of long computations.
//
// A long computation adds 1 to ProcStat per outer step and then calls
// MathFeedBackProc with the new value when one is assigned (StepProgress does
// both). An abortable loop stops at its next test of AbortMathProc and returns
// its failure result. AbortMathProc is atomic so that another thread may raise
// it while a computation runs; everything else is for one thread at a time.
#pragma once

#include <atomic>
#include <functional>

namespace dari {

using TMathFeedBackProc = std::function<void(double Stat)>;

inline double ProcStat = 0.0;
inline TMathFeedBackProc MathFeedBackProc;
inline std::atomic<bool> AbortMathProc{false};

// One progress step: ProcStat += 1, then MathFeedBackProc(ProcStat) if assigned.
inline void StepProgress() {
  ProcStat += 1.0;
  if (MathFeedBackProc) MathFeedBackProc(ProcStat);
}

}  // namespace dari

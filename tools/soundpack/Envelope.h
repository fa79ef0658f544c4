// Loudness shapes over time: fades that keep sounds from clicking, and decays for struck tones.
#pragma once

#include <vector>

namespace velozor::soundpack {

// Raised-cosine fade-in over the first `fadeInSeconds` and fade-out over the last
// `fadeOutSeconds` of a mono signal. Fades longer than the signal are shortened to fit.
void applyFades(std::vector<float>& mono, double fadeInSeconds, double fadeOutSeconds);

// Gain of an attack-then-exponential-decay envelope at `seconds` after its start: rises
// linearly over `attackSeconds`, then falls by 60 dB every `decaySeconds`.
float strikeEnvelope(double seconds, double attackSeconds, double decaySeconds);

}  // namespace velozor::soundpack

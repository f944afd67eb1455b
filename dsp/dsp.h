// The signal-processing primitives shared by the engine and the effect plug-ins: vector
// arithmetic and Fourier transforms with a process-wide error status. Free of Qt.
#pragma once

#include "dsp/nsp_fft.h"
#include "dsp/nsp_status.h"
#include "dsp/nsp_vector.h"

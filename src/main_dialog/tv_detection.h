#pragma once
// The program-wide detection result: which vendor interface answered and which TV connector
// it reports. Written once while the main dialog initialises, read for the rest of the run.
#include "display/tv_output.h"

struct TvDetectionResult {
    AdapterVendor vendor = AdapterVendor::Ati;
    TvConnector connector = TvConnector::None;
    NvTvOutputInfo nvInfo{};
};

extern TvDetectionResult TvDetection;

// Intel's connector types: 2 is S-Video, 4 Composite, 32 Component; the driver reports HDMI and
// the other digital outputs with types of their own, all taken as HDMI.
TvConnector TvConnectorFromIntelType(uint32_t type);

#pragma once
// The NVIDIA calls whose failure stops detection with a message, as the stand-in is told to
// fail them (ORVA_NV_STATUS_<id>), and the next call, which must then not be made.
struct NvapiFailure {
    const char* failingId;
    const char* message;
    const char* notAsked;
};

inline constexpr NvapiFailure kNvapiFailures[] = {
    {"9ABDD40D", "NvAPI_EnumNvidiaDisplayHandle fail", "nvapi GetPhysicalGPUsFromDisplay"},
    {"34EF9506", "NvAPI_GetPhysicalGPUsFromDisplay fail", "nvapi GPU_GetActiveOutputs"},
    {"E3E89B6F", "NvAPI_GPU_GetActiveOutputs fail", "nvapi QueryTvOutputInfo"},
};

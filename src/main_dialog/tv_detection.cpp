#include "main_dialog/tv_detection.h"

TvDetectionResult TvDetection;

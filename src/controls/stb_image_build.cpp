// The PNG decoder of stb_image (Debian's libstb-dev), built once here with only what the art
// needs. Third-party code: it is compiled without our warning flags (see CMakeLists.txt).
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_NO_FAILURE_STRINGS
#define STBI_MAX_DIMENSIONS 8192
#include <stb_image.h>

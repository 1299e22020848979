/* The one translation unit that holds the image decoder's implementation. */
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO_WARNINGS
#include "stb_image.h"

#pragma once

#include <IL/il.h>
#include <IL/ilu.h>

// DevIL's calls, taken from its libraries when a run first saves a file with
// it (psd, pcx, dds): most runs save none, and loading DevIL with the image
// libraries it brings costs every start about a millisecond.
struct DevilCalls {
  decltype(&ilGenImages) genImages = nullptr;
  decltype(&ilDeleteImages) deleteImages = nullptr;
  decltype(&ilBindImage) bindImage = nullptr;
  decltype(&ilTexImage) texImage = nullptr;
  decltype(&ilEnable) enable = nullptr;
  decltype(&ilSetWrite) setWrite = nullptr;
  decltype(&ilSave) save = nullptr;
  decltype(&ilResetWrite) resetWrite = nullptr;
  decltype(&ilGetError) getError = nullptr;
  decltype(&iluBuildMipmaps) buildMipmaps = nullptr;
};

// The calls, with DevIL initialised; null when its libraries or one of the
// calls cannot be had. Safe to call from any thread.
const DevilCalls* devilCalls();

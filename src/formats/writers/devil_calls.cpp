#include "formats/writers/devil_calls.h"

#include <memory>

#include "platform/shared_library.h"

namespace {

std::unique_ptr<DevilCalls> loadDevil() {
  static const SharedLibrary images("IL", 1);
  static const SharedLibrary utilities("ILU", 1);
  auto calls = std::make_unique<DevilCalls>();
  decltype(&ilInit) init = nullptr;
  decltype(&iluInit) utilitiesInit = nullptr;
  const bool complete =
      images.take("ilInit", &init) && utilities.take("iluInit", &utilitiesInit) &&
      images.take("ilGenImages", &calls->genImages) &&
      images.take("ilDeleteImages", &calls->deleteImages) &&
      images.take("ilBindImage", &calls->bindImage) &&
      images.take("ilTexImage", &calls->texImage) && images.take("ilEnable", &calls->enable) &&
      images.take("ilSetWrite", &calls->setWrite) && images.take("ilSave", &calls->save) &&
      images.take("ilResetWrite", &calls->resetWrite) &&
      images.take("ilGetError", &calls->getError) &&
      utilities.take("iluBuildMipmaps", &calls->buildMipmaps);
  if (!complete) return nullptr;
  init();
  utilitiesInit();
  return calls;
}

}  // namespace

const DevilCalls* devilCalls() {
  static const std::unique_ptr<DevilCalls> calls = loadDevil();
  return calls.get();
}

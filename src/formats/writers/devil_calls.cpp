#include "formats/writers/devil_calls.h"

#include <memory>

#include "platform/shared_library.h"

namespace {

template <typename Call>
bool take(const SharedLibrary& library, const char* name, Call* call) {
  *call = reinterpret_cast<Call>(library.symbol(name));
  return *call != nullptr;
}

std::unique_ptr<DevilCalls> loadDevil() {
  static const SharedLibrary images("IL", 1);
  static const SharedLibrary utilities("ILU", 1);
  auto calls = std::make_unique<DevilCalls>();
  decltype(&ilInit) init = nullptr;
  decltype(&iluInit) utilitiesInit = nullptr;
  const bool complete =
      take(images, "ilInit", &init) && take(utilities, "iluInit", &utilitiesInit) &&
      take(images, "ilGenImages", &calls->genImages) &&
      take(images, "ilDeleteImages", &calls->deleteImages) &&
      take(images, "ilBindImage", &calls->bindImage) &&
      take(images, "ilTexImage", &calls->texImage) && take(images, "ilEnable", &calls->enable) &&
      take(images, "ilSetWrite", &calls->setWrite) && take(images, "ilSave", &calls->save) &&
      take(images, "ilResetWrite", &calls->resetWrite) &&
      take(images, "ilGetError", &calls->getError) &&
      take(utilities, "iluBuildMipmaps", &calls->buildMipmaps);
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

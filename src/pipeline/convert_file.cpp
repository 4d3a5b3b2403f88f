#include "pipeline/convert_file.h"

#include <utility>

#include "formats/format_tables.h"
#include "formats/library_messages.h"
#include "formats/writers/encode_image.h"
#include "pipeline/alpha_mode.h"
#include "pipeline/color_correction.h"
#include "pipeline/colour_conversion.h"
#include "pipeline/depth.h"
#include "pipeline/drawing/watermark_font.h"
#include "pipeline/dither.h"
#include "pipeline/flip.h"
#include "pipeline/float_rotation.h"
#include "pipeline/frame.h"
#include "pipeline/greyscale.h"
#include "pipeline/linear_rotation.h"
#include "pipeline/load_dds.h"
#include "pipeline/load_mode.h"
#include "pipeline/name_tokens.h"
#include "pipeline/normal_map.h"
#include "pipeline/resize.h"
#include "pipeline/rotate.h"
#include "pipeline/swizzle.h"
#include "pipeline/threshold.h"
#include "pipeline/watermark.h"
#include "platform/memory.h"

namespace {

constexpr int32_t kIconSizeLimit = 128;

struct ImageSize {
  int32_t width = 0;
  int32_t height = 0;
};

ImageSize sizeOf(const Bitmap& image) {
  if (!image) return {};
  return {static_cast<int32_t>(FreeImage_GetWidth(image.get())),
          static_cast<int32_t>(FreeImage_GetHeight(image.get()))};
}

// Icons hold at most 128 x 128 pixels: a larger image is scaled to exactly
// that, whatever its proportions.
Bitmap capIconSize(Bitmap image, const std::string& extension) {
  const OutputFormat* format = findOutputFormat(extension);
  if (!image || !format || !format->capsIconSize) return image;
  const ImageSize size = sizeOf(image);
  if (size.width <= kIconSizeLimit && size.height <= kIconSizeLimit) return image;
  return adoptBitmap(FreeImage_Rescale(image.get(), kIconSizeLimit, kIconSizeLimit, FILTER_BICUBIC));
}

bool isFloatImage(FIBITMAP* image) {
  const FREE_IMAGE_TYPE type = image ? FreeImage_GetImageType(image) : FIT_UNKNOWN;
  return type == FIT_RGBF || type == FIT_RGBAF;
}

// What the colour steps need to know of one image and its output.
ColourFacts colourFactsOf(const ChainPlan& chain, SourceColourSpace space, FIBITMAP* image,
                          const DepthStep& depth, int32_t sourceBpp) {
  const OutputFormat* format = findOutputFormat(depth.extension);
  const unsigned width = FreeImage_GetWidth(image);
  const unsigned height = FreeImage_GetHeight(image);
  ColourFacts facts;
  facts.space = space;
  facts.floatSource = isFloatImage(image);
  facts.eightBitSource = image && FreeImage_GetImageType(image) == FIT_BITMAP;
  facts.outputDepth = depth.automatic ? chooseAutoDepth(depth.extension, sourceBpp) : depth.bpp;
  facts.floatOutput = format && format->floats && facts.outputDepth >= 96;
  // A resize or the icon cap makes new pixels out of several old ones.
  facts.resamples = chain.resize.enabled ||
                    (format && format->capsIconSize &&
                     (width > kIconSizeLimit || height > kIconSizeLimit));
  return facts;
}

Bitmap fail(FileFailure* failure, FileFailure::Kind kind, std::string reason = "") {
  if (failure) *failure = FileFailure{kind, std::move(reason)};
  return nullptr;
}

}  // namespace

Bitmap convertFile(const ChainPlan& chain, FileJob& job, const PipelineResources& resources,
                   FileFailure* failure, Bitmap* alphaImage) {
  using Kind = FileFailure::Kind;
  installLibraryMessageHandler();
  const size_t messagesBefore = pendingLibraryMessageCount();
  clearOutOfMemoryMark();

  DdsImageFacts facts;
  std::string refusal;
  Bitmap image = applySwizzle(job.inputBytes ? loadDdsBytes(*job.inputBytes, job.surface, &facts, &refusal)
                                             : loadDdsImage(job.currentFile, job.surface, &facts, &refusal),
                              chain.swizzle);
  const bool normalMap = wantsNormalRebuild(chain.normalMap, facts);
  if (normalMap) image = rebuildNormalZ(std::move(image), facts);
  image = applyLoadMode(std::move(image), chain.loadMode);
  Bitmap alpha = chain.alpha.mode == AlphaMode::kSeparate && image ? alphaPlane(image.get()) : nullptr;
  if (chain.alpha.dropsAlpha()) image = withoutAlpha(std::move(image));
  ImageSize size = sizeOf(image);
  job.sourceBpp = image ? static_cast<int32_t>(FreeImage_GetBPP(image.get())) : 0;
  if (size.width == 0 || size.height == 0) {
    if (outOfMemoryMarked()) return fail(failure, Kind::OutOfMemory);
    return fail(failure, Kind::NotConverted, refusal);
  }

  const DepthStep depth = colourDepthOf(chain.depth, chain.alpha);
  const SourceColourSpace space = normalMap ? SourceColourSpace::kData : facts.colourSpace;
  job.holdsData = space == SourceColourSpace::kData;
  if (blendsInLinearLight(chain.colour, space)) {
    image = rotateInLinearLight(std::move(image), chain.rotate);
  } else if (readsFloatRange(chain.colour)) {
    const bool light = chain.colour.mode == ColourMode::kAuto && space != SourceColourSpace::kData;
    image = rotateKeepingFloats(std::move(image), chain.rotate, light);
  } else {
    image = rotateImage(std::move(image), chain.rotate);
  }
  alpha = rotateImage(std::move(alpha), chain.rotate);
  size = sizeOf(image);
  const ColourWork colour =
      planColourWork(chain.colour, colourFactsOf(chain, space, image.get(), depth, job.sourceBpp));
  if (colour.toLinear) image = toLinearLight(std::move(image), colour);
  image = resizeImage(std::move(image), size.width, size.height, chain.resize);
  alpha = resizeImage(std::move(alpha), size.width, size.height, chain.resize);
  image = capIconSize(std::move(image), depth.extension);
  alpha = capIconSize(std::move(alpha), depth.extension);
  image = toOutputValues(std::move(image), colour, chain.colour);
  size = sizeOf(image);
  image = flipImage(std::move(image), chain.flip);
  alpha = flipImage(std::move(alpha), chain.flip);
  image = applyColorCorrection(std::move(image), chain.colorCorrection);
  image = applyGreyscale(std::move(image), chain.greyscale);
  image = applyThreshold(std::move(image), chain.threshold);
  image = applyDither(std::move(image), chain.dither);
  image = applyFrame(std::move(image), size.width, size.height, chain.frame);
  job.imageWidth = size.width;
  job.imageHeight = size.height;
  job.frameIndex = 1;
  // The text shows the size about to be saved and the depth setting.
  std::string watermarkText;
  const WatermarkFont* font = nullptr;
  if (chain.watermark.kind == WatermarkKind::kText) {
    watermarkText = expandWatermarkText(
        chain.watermark.text.text, tokenValuesOf(job, chain.depth.extension, chain.surfaceTokens));
    font = resources.watermarkFont ? resources.watermarkFont->get() : nullptr;
    if (!font) {
      // No face at all could be loaded: the file fails, it never leaves unmarked.
      recordLibraryMessage("Invalid watermark font");
      return fail(failure, Kind::NotConverted);
    }
  }
  image = applyWatermark(std::move(image), size.width, size.height, chain.watermark,
                         watermarkText, font);
  image = convertDepth(std::move(image), depth, job.sourceBpp, &job.requestedBpp);
  if (chain.alpha.mode == AlphaMode::kPremultiplied) image = premultiplyAlpha(std::move(image));
  if (alpha && alphaImage) {
    *alphaImage = finishAlphaPlane(std::move(alpha), depth.extension);
    if (!*alphaImage) image.reset();  // the file fails: half of what was asked for is no output
  }
  // A step that could not allocate hands back no image, or the image without
  // its frame or watermark; either way the file fails. Asked before anything
  // else can overwrite the mark.
  if (outOfMemoryMarked()) return fail(failure, Kind::OutOfMemory);
  // A library message anywhere in the chain fails the file, even when the
  // steps handed back an image.
  if (!image || pendingLibraryMessageCount() != messagesBefore) {
    return fail(failure, Kind::NotConverted);
  }
  if (failure) *failure = FileFailure{};
  return image;
}

std::vector<std::string> takeLibraryMessages() { return takeThreadLibraryMessages(); }

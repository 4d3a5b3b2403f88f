#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "formats/bitmap.h"
#include "pipeline/chain_plan.h"
#include "pipeline/file_job.h"

class WatermarkFontOnDemand;

// Resources the pipeline uses, prepared once per run. A thread converting
// files needs a set of its own: a font is used by one thread at a time.
struct PipelineResources {
  const WatermarkFontOnDemand* watermarkFont = nullptr;  // the text watermark's, for one thread
};

// Why a file was not converted, for the one line the batch prints.
struct FileFailure {
  enum class Kind {
    None,          // converted
    NotConverted,  // unreadable input, a closed gate, or a refusal the library messages explain
    OutOfMemory,   // memory ran out on this file
    WriteFailed,   // the output could not be written; reason says why
    VerifyFailed,  // the encoded output did not read back as the image; reason says how
  };
  Kind kind = Kind::None;
  // WriteFailed: the system's text. VerifyFailed: the mismatch. NotConverted:
  // why the reader refused the input, when it did ("unsupported pixel format:
  // FourCC 'XYZW'"); records show it, the console line does not.
  std::string reason;
};

// Converts job.currentFile (job.surface of it) as the chain plan says: load,
// the operation chain, depth conversion. It
// neither names nor saves: the batch encodes and writes the image it returns.
// Writes the file's facts into job: sourceBpp, imageWidth, imageHeight,
// frameIndex, holdsData and, with automatic depth, requestedBpp. Returns the image to
// save, or null when the file cannot be converted; failure (when given) then
// says whether memory ran out. A library message on the way fails the file
// too; the messages stay recorded for the calling thread. With
// --alpha=separate, alphaImage (when given) receives the alpha channel as the
// image to save beside it, already at its depth, or stays empty for an image
// without alpha.
Bitmap convertFile(const ChainPlan& chain, FileJob& job, const PipelineResources& resources,
                   FileFailure* failure = nullptr, Bitmap* alphaImage = nullptr);

// Messages the image libraries reported on this thread since the last call;
// the worker prints each one as an error line.
std::vector<std::string> takeLibraryMessages();

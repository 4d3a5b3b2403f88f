#include "batch/input_outcome.h"

#include "batch/json_line.h"

const char* inputStatusText(InputStatus status) {
  switch (status) {
    case InputStatus::kConverted: return "converted";
    case InputStatus::kFailed: return "failed";
    case InputStatus::kUnchanged: return "unchanged";
    case InputStatus::kDuplicate: return "duplicate";
  }
  return "failed";
}

std::string outcomeJson(const InputOutcome& outcome) {
  JsonArray outputs;
  for (const OutputFacts& output : outcome.outputs) {
    outputs.nested(JsonObject()
                       .path("path", output.path)
                       .number("bytes", output.bytes)
                       .text("sha256", output.sha256)
                       .str());
  }
  return JsonObject()
      .path("input", outcome.input)
      .text("status", inputStatusText(outcome.status))
      .nested("outputs", outputs.str())
      .textOrNull("error", outcome.error)
      .pathOrNull("of", outcome.of)
      .str();
}

#include "support/plan_support.h"

#include "pipeline/name_tokens.h"
#include "settings/run_plan.h"

BatchPlan planOf(const TestRun& test) {
  BatchPlan plan = planRun(test.settings, test.run);
  plan.chain.depth = {test.run.conversion, test.requestedBpp, test.requestedBpp == 0};
  return plan;
}

std::string expandFilenameMask(const TestRun& test) {
  const BatchPlan plan = planOf(test);
  return expandFilenameMask(plan.naming.mask, tokenValuesOf(test.job, plan.naming.extension,
                                                            plan.naming.surfaceTokens));
}

std::string expandWatermarkText(const TestRun& test) {
  const BatchPlan plan = planOf(test);
  return expandWatermarkText(plan.chain.watermark.text.text,
                             tokenValuesOf(test.job, plan.chain.depth.extension,
                                           plan.chain.surfaceTokens));
}

std::string makeOutputPath(const TestRun& test) { return makeOutputPath(planOf(test).naming, test.job); }

bool convertAndSaveFile(TestRun& test, const PipelineResources& resources, FileFailure* failure) {
  const BatchPlan plan = planOf(test);
  test.job.requestedBpp = plan.chain.depth.bpp;
  return convertAndSaveFile(plan, test.job, resources, failure);
}

#include "settings/prepare_and_run.h"

void prepareAndRun(ConversionSettings& /*settings*/, ConversionJob& /*job*/, bool /*quiet*/,
                   Console& /*console*/) {}

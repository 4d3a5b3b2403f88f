#include "app/keyword_tables.h"

int32_t KeywordCode(std::string_view /*text*/, int /*table*/) { return 0; }

std::string KeywordText(int /*table*/, int32_t /*code*/) { return std::string(); }

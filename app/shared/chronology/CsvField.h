// The one CSV quoting of the programs (Nenpyo's export, the corvane tool): a field holding a
// comma, a quote, a CR or an LF is put in quotes with every quote doubled; any other field is
// written as it is.
#pragma once

#include <string>
#include <string_view>

std::string CsvField(std::string_view str);

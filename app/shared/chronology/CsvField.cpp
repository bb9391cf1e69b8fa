#include "CsvField.h"

std::string CsvField(std::string_view str)
{
    if (str.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(str);
    std::string strQuoted = "\"";
    for (const char ch : str) {
        if (ch == '"')
            strQuoted += '"';
        strQuoted += ch;
    }
    return strQuoted + '"';
}

// era-of-year: a host program of the Corvane library. Prints the eras of an era file (.lgn) that
// cover a Western year, one a line with its era year:
//
//     era-of-year ERAS.lgn YEAR
//
//     昭和	64
//     平成	1
//
// Names are printed without their HTML markup, in UTF-8. A file that cannot be read gives the
// library's message on standard error and exit status 1.
#include <corvane/corvane.h>

#include <framework/Cp932.h>

#include <cstdlib>
#include <iostream>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: era-of-year ERAS.lgn YEAR\n";
        return 2;
    }
    CString strFile;
    if (!Utf8ToCp932(argv[1], strFile)) {
        std::cerr << "era-of-year: " << argv[1] << ": no code page 932 form of this name\n";
        return 2;
    }
    CGengouEra eras;
    const SFileStatus status = eras.Load(strFile, HEADER_GENGOU);
    if (!status.Ok()) {
        std::cerr << Cp932ToUtf8Lossy(FormatFileStatus(status, strFile).View()) << '\n';
        return 1;
    }
    const long long llYear = std::atoll(argv[2]);
    CGengouEraArray covering;
    eras.GetData(static_cast<std::int32_t>(llYear), covering);
    for (const SGengouEraTable& era : covering) {
        CString strName;
        CHtmlManage().RemoveHtml(era.strGengou, strName);
        std::cout << Cp932ToUtf8Lossy(strName.View()) << '\t' << llYear - era.lBeginYear + 1 << '\n';
    }
    return 0;
}

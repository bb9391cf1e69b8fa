// CPdfCommand: printing a chronology to PDF from the command line, without a window, for scripts:
//
//     nenpyo --pdf OUT.pdf FILE [--priority high|middle|all] [--band] [--partial]
//
// --band begins the PDF with a page of the band of time, showing all the events.
//
//     nenpyo --html OUT.html FILE [--priority high|middle|all]
//
// writes the chronology as one self-contained web page instead (CWebPage).
// FILE is a document (.nenpyo) or a bare event file (.lev), read with the tables a window would
// take. Exit status 0, or 1 with the message on standard error (a file that cannot be read whole,
// a PDF that cannot be written: a previous OUT.pdf then stays as it was). A file the library's
// strict check finds damaged is refused too, with its line and reason, unless --partial is given:
// then what stands before the damaged line is printed (status 0, the damage still named).
#pragma once

class QCommandLineParser;

class CPdfCommand {
public:
    // To be called before the application object exists: a PDF run needs no display, so when the
    // command line asks for one and no platform is chosen, the offscreen one is taken.
    static void PreparePlatform(int argc, char** argv);
    // Adds --pdf, --html, --priority, --band and --partial to the program's options.
    static void AddOptions(QCommandLineParser& parser);
    // True when the parsed command line asks for a PDF or a web page.
    static bool Requested(const QCommandLineParser& parser);
    // Prints the PDF or writes the page; the exit status.
    static int Run(const QCommandLineParser& parser);
};

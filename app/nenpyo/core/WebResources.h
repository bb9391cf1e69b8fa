// The web page's template, style and script (app/nenpyo/web), built into the program by
// app/nenpyo/web/embed.cmake. UTF-8, each ending in a zero byte.
#pragma once

extern const char kWebPageHtml[];
extern const char kWebPageCss[];
extern const char kWebPageJs[];

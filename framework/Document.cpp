#include <framework/Document.h>

CDocument::~CDocument() = default;

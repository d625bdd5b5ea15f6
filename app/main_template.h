#pragma once

#include "doc_template.h"

#include <memory>

// The application's one document template: which document, frame and view make up the main
// window. The only place that names the frame and view classes.
std::unique_ptr<CSingleDocTemplate> CreateMainDocTemplate();

// Layouts the program cannot do without. A file that is missing or that the toolkit refuses
// (the toolkit has told why on stderr) ends the run with a message naming the file and the
// problem, instead of a window without its parts or, for the main window, no window at all and
// a message loop that never ends.
#pragma once

#include "shell/toolkit/xcgui.h"

// XC_LoadLayout of RunDir + `relative` under `parent`.
HXCGUI LoadRequiredLayout(const char* relative, HXCGUI parent);

// An item template set with `setter` (XTree_SetItemTemplateXML, XListView_SetItemTemplateXML, ...)
// from RunDir + `relative`.
using TemplateSetter = BOOL (*)(HELE element, const char16_t* file);
void SetRequiredTemplate(TemplateSetter setter, HELE element, const char* relative);

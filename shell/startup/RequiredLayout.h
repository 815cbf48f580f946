// Loading the program's layouts. The main window's layout is one the program cannot do without:
// missing or refused (the toolkit has told why on stderr), it ends the run with a message naming
// the file and the problem, instead of no window at all and a message loop that never ends. Any
// other layout or template that fails leaves its part empty (handle 0) with one line on stderr
// naming the file, and the program goes on.
#pragma once

#include "shell/toolkit/xcgui.h"

// XC_LoadLayout of RunDir + `relative` under `parent`; ends the run when it fails.
HXCGUI LoadRequiredLayout(const char* relative, HXCGUI parent);
// The same for a part of the window: 0 and a diagnostic line when it fails.
HXCGUI LoadPartLayout(const char* relative, HXCGUI parent);

// An item template set with `setter` (XTree_SetItemTemplateXML, XListView_SetItemTemplateXML, ...)
// from RunDir + `relative`; a diagnostic line when it fails (the items then show bare).
using TemplateSetter = BOOL (*)(HELE element, const char16_t* file);
void SetRequiredTemplate(TemplateSetter setter, HELE element, const char* relative);

// The page and file wizards of the script editor's frame: the chooser of new files, the META
// keyword and description files, the JavaScript file with its header, the HTML page built from
// three template files, and the Body Tag window's Save.
#pragma once

#include "platform/classes/TypInfo.h"

#include <string>

class TMainForm;

// The web address the generated page names in its generator line.
extern const char* const ProductWebAddress;

// A wizard's target: the directory field's text and the file name, one separator between them.
std::string WizardFilePath(const std::string& Dir, const std::string& FileName);

// Registers the wizards' fields and handlers on the frame.
void PublishWizardMembers(TClassBuilder<TMainForm>& Cls);

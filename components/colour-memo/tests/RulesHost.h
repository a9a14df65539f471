// Colour-rule fixtures of the tests, read into a TRulesHost.
#pragma once

#include "components/colour-memo/ColorRulesHost.h"

#include <memory>
#include <string>

// The file's text from tests/data.
std::string RulesFixture(const std::string& FileName);
// A host read from one of the fixtures.
std::unique_ptr<TRulesHost> ReadRulesHost(const std::string& FileName);

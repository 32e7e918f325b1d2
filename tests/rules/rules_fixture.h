// Dialogs of the rules folder run modally on the scripted back end against a fresh settings file.
#pragma once

#include "tests/store/store_fixture.h"

using RulesTest = DialogTest;

#pragma once

#include <span>

#include "composition/data/DataWriters.h"

// One data form, as every part of the program that names, checks or writes it reads it: a new
// form is one entry of GetDataForms() and its writer.
struct UDataForm_S {
    NS_Data::UDataOptions_S::Form_E form;
    // As --data-format takes it.
    const char* name;
    // What the usage text says of it, after its name; this and refusesRotate are source texts of
    // the context "UDataForm_S" (NS_Base::ShownText).
    const char* description;
    // The data file's usual extension, with its dot.
    const char* extension;
    // One file for every sheet of a multipack; the others take a file for each sheet.
    bool holdsEveryPage;
    // Why the form cannot describe a turned frame; null when it can.
    const char* refusesRotate;
    UDataWriter_F write;
};

// Every form, in the order the usage text lists them; the first is the default.
std::span<const UDataForm_S> GetDataForms();

// The entry of `form`.
const UDataForm_S& GetDataForm(NS_Data::UDataOptions_S::Form_E form);

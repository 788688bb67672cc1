#pragma once

// Registers TSpinEdit and TSpinButton with the form loader. Safe to call more than once.
void registerSpinEditClasses();

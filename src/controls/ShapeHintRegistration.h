#pragma once

// Registers TShapeHint with the form loader. Safe to call more than once.
void registerShapeHintClasses();

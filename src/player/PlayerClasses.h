#pragma once

// Makes the player's classes known to the form loader by name (TGKitMSPlay). Call once before
// loading a form that holds a player; calling again does no harm. Explicit rather than static
// registration, which a static library's linker would drop.
void registerPlayerClasses();

#pragma once

// Makes the skin controls known to the form loader by their class names (TGradBox,
// TShadowLabel, TShineSpeedButton, TdxfProgressBar, TAHMFadingLabel). Call once before loading
// a form that uses them; calling again does no harm.
void registerSkinClasses();

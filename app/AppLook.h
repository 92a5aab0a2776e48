// The program's look: the Fusion style with a dark palette, so the controls
// read as light text on near-black surfaces at every display scale.
#pragma once

// Applies to the whole application; needs a widget application object.
void SetDarkLook();

#pragma once

// Gives screen readers the right role for widgets Qt would otherwise expose as fillers or plain text: the
// SVG pictures (message icons, logo, padlock) as images, KeyboardLinkLabel as a link. Installed once,
// whoever asks first.
void installAccessibleRoles();

#pragma once

// Flags passed to every image drawing call. Unscoped so that both
// `DirectRender` and `DrawFlag::DirectRender` read naturally at call sites.
enum DrawFlag : int {
    // Output rendering (export, printing, previews): the picture is made
    // from the file itself at the exact device scale.
    DirectRender = 1,
    // The user is dragging or otherwise interacting: draw the cheapest
    // version, without smooth scaling.
    FastDraw = 2,
    // With DirectRender: a pass that draws no pictures but notes each one,
    // so that their files can be decoded ahead on every core.
    CollectImages = 4,
};

#pragma once

class QCheckBox;

namespace corvane {

// The kit's switch, one look wherever the host offers one: a small rounded box with a light
// outline on the dark glass (the desktop's box is a dark square that all but vanishes on it),
// filled with the accent and a white tick when on, and the pointing hand.
void corvaneToggle(QCheckBox *box);

} // namespace corvane

#pragma once

class QSlider;

namespace corvane {

// The kit's slider, one look wherever the host offers one: a thin rounded track, the part up
// to the knob in the accent colour, and a round light knob (greyed while disabled). It also
// lies horizontally and shows the pointing hand.
void corvaneSlider(QSlider *slider);

} // namespace corvane

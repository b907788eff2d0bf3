#pragma once
// The processor time the Diagram page costs when the user opens it: its first
// show (which builds the board's component windows as far as the page needs
// them), its second show, and the first and second opening of one component's
// window. Driven through the menu's buttons in the running program.
class ZAR;

namespace bench {

// Prints the figures; false when the page is not in the menu or a target is missed.
bool MeasureDiagramShows(ZAR& window);

} // namespace bench

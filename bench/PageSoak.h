#pragma once
// The program's resident memory while its pages are shown again and again.
class ZAR;

namespace bench {

// Shows every page of the menu in turn, as a user clicks through it, for at
// least nShowings showings; each showing also gets one tick of the page's
// once-a-second refresh. Prints resident memory round by round; true when the
// rounds after the first grow by less than the limit a showing (their slope).
bool SoakPages(ZAR& window, int nShowings);

} // namespace bench

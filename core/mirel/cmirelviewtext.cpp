// Construction and destruction of the text view. The edit window makes it the
// first time its document is shown as text and deletes it with itself.
#include "mirel/cmirelviewtext.h"

#include "mirel/cmireldoc.h"

CMirelViewText::CMirelViewText() : CMirelView(MIREL_VIEW_TYPE_TEXT) {}

// The edit window owns the back buffer and the caret; the view owns nothing
// that needs releasing.
CMirelViewText::~CMirelViewText() = default;

#pragma once
// The wizard window's pages, each declared once: its id in the page order,
// the class it is made of, its object name (which the settings file and the
// log address it by) and where Next and Back lead from it. The window makes
// the pages in the table's order, which is also the order of its children.

#include "shell/wizardflow.h"

#include <span>

class QWidget;
class TFrameBase;

struct PageEntry
{
    WizardPage id;
    // Makes the page as a child of `owner`, which owns it.
    TFrameBase *(*create)(QWidget *owner);
    const char *objectName;
    NeighbourRule next;
    NeighbourRule back;
    int height = 324;
};

// Every page, in creation order.
std::span<const PageEntry> WizardPages();

// The page's row; null for None and for an id the table does not hold.
const PageEntry *FindWizardPage(WizardPage id);

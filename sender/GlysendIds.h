/* Every id of glysend: its one resource, the window icon. Its controls carry
   no ids (the window tells them apart by their handles) and it has no menu.
   The resource compiler and the code read it alike. */
#ifndef GLYSEND_IDS_H
#define GLYSEND_IDS_H

#define IDI_GLYSEND 102

#endif

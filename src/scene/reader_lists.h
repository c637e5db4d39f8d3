// Reading the vertex lists of the scene file: the avatar's, the objects', the static and the
// plain list (items 12, 14, 16 and 17), with the checks the checker reports.
#pragma once

// Item 12: the avatar's vertices.
void ReadAvatarVertices();
// Item 14: every object's vertices.
void ReadObjectVertices();
// Item 16: the static list.
void ReadStaticVertices();
// Item 17: the plain list.
void ReadPlainVertices();
// Notes data after the last item, which is never read.
void CheckTrailingData();

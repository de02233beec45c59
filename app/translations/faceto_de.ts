<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>faceto</name>
    <message>
        <source>Hide Selected</source>
        <translation>Auswahl ausblenden</translation>
    </message>
    <message>
        <source>Show All</source>
        <translation>Alles zeigen</translation>
    </message>
    <message>
        <source>Flip Triangles</source>
        <translation>Dreiecke umdrehen</translation>
    </message>
    <message>
        <source>Clone</source>
        <translation>Klonen</translation>
    </message>
    <message>
        <source>New Group</source>
        <translation>Neue Gruppe</translation>
    </message>
    <message>
        <source>Rename Group</source>
        <translation>Gruppe umbenennen</translation>
    </message>
    <message>
        <source>Delete Group</source>
        <translation>Gruppe löschen</translation>
    </message>
    <message>
        <source>Add Primitive</source>
        <translation>Grundkörper hinzufügen</translation>
    </message>
    <message>
        <source>Add Animation</source>
        <translation>Animation hinzufügen</translation>
    </message>
    <message>
        <source>Delete Animation</source>
        <translation>Animation löschen</translation>
    </message>
    <message>
        <source>Cut Frame</source>
        <translation>Einzelbild ausschneiden</translation>
    </message>
    <message>
        <source>Delete Frame</source>
        <translation>Einzelbild löschen</translation>
    </message>
    <message>
        <source>Insert Frame</source>
        <translation>Einzelbild einfügen</translation>
    </message>
    <message>
        <source>New Frame</source>
        <translation>Neues Einzelbild</translation>
    </message>
    <message>
        <source>Rename Frame</source>
        <translation>Einzelbild umbenennen</translation>
    </message>
    <message>
        <source>Show Group</source>
        <translation>Gruppe zeigen</translation>
    </message>
    <message>
        <source>Mirror X</source>
        <translation>X spiegeln</translation>
    </message>
    <message>
        <source>Mirror Y</source>
        <translation>Y spiegeln</translation>
    </message>
    <message>
        <source>Mirror Z</source>
        <translation>Z spiegeln</translation>
    </message>
    <message>
        <source>Centre on Origin</source>
        <translation>Auf Ursprung zentrieren</translation>
    </message>
    <message>
        <source>Transform</source>
        <translation>Transformieren</translation>
    </message>
    <message>
        <source>Import Skin</source>
        <translation>Skin importieren</translation>
    </message>
    <message>
        <source>Delete Skin</source>
        <translation>Skin löschen</translation>
    </message>
    <message>
        <source>Resize Skin</source>
        <translation>Skingröße ändern</translation>
    </message>
    <message>
        <source>Generate SkinMap</source>
        <translation>Skin-Map erzeugen</translation>
    </message>
    <message>
        <source>New Skin</source>
        <translation>Neuer Skin</translation>
    </message>
    <message>
        <source>Faceto Model (*.fm)</source>
        <translation>Faceto-Modell (*.fm)</translation>
    </message>
    <message>
        <source>Quake/Hexen2 Model (*.mdl)</source>
        <translation>Quake/Hexen-II-Modell (*.mdl)</translation>
    </message>
    <message>
        <source>Quake model (*.mdl)</source>
        <translation>Quake-Modell (*.mdl)</translation>
    </message>
    <message>
        <source>Quake2 Model (*.md2)</source>
        <translation>Quake-2-Modell (*.md2)</translation>
    </message>
    <message>
        <source>Quake III Model (*.md3)</source>
        <translation>Quake-III-Modell (*.md3)</translation>
    </message>
    <message>
        <source>Jedi Knight Model (*.3do)</source>
        <translation>Jedi-Knight-Modell (*.3do)</translation>
    </message>
    <message>
        <source>3D Studio Ascii (*.asc)</source>
        <translation>3D Studio ASCII (*.asc)</translation>
    </message>
    <message>
        <source>glTF 2.0 (*.gltf *.glb)</source>
        <translation>glTF 2.0 (*.gltf *.glb)</translation>
    </message>
    <message>
        <source>glTF 2.0 (*.gltf)</source>
        <translation>glTF 2.0 (*.gltf)</translation>
    </message>
    <message>
        <source>glTF 2.0 binary (*.glb)</source>
        <translation>glTF 2.0 binär (*.glb)</translation>
    </message>
    <message>
        <source>Wavefront OBJ (*.obj)</source>
        <translation>Wavefront OBJ (*.obj)</translation>
    </message>
    <message>
        <source>Wavefront OBJ, current frame (*.obj)</source>
        <translation>Wavefront OBJ, aktuelles Einzelbild (*.obj)</translation>
    </message>
    <message>
        <source>%1 vertices: %2 draws at most %3</source>
        <translation>%1 Eckpunkte: %2 zeichnet höchstens %3</translation>
    </message>
    <message>
        <source>%1 triangles: %2 draws at most %3</source>
        <translation>%1 Dreiecke: %2 zeichnet höchstens %3</translation>
    </message>
    <message>
        <source>%1 frames: %2 plays at most %3</source>
        <translation>%1 Einzelbilder: %2 spielt höchstens %3</translation>
    </message>
    <message>
        <source>a skin %1 texels wide: Quake needs a multiple of 4</source>
        <translation>ein Skin von %1 Texeln Breite: Quake braucht ein Vielfaches von 4</translation>
    </message>
    <message>
        <source>a %1 x %2 skin: Quake 2 skins are 64 to 512 texels a side</source>
        <translation>ein Skin von %1 × %2: Quake-2-Skins haben 64 bis 512 Texel je Seite</translation>
    </message>
    <message>
        <source>Hide Group</source>
        <translation>Gruppe ausblenden</translation>
    </message>
    <message>
        <source>Move Frame</source>
        <translation>Einzelbild verschieben</translation>
    </message>
    <message>
        <source>Move Animation</source>
        <translation>Animation verschieben</translation>
    </message>
    <message>
        <source>Interpolate Frames</source>
        <translation>Zwischenbilder erzeugen</translation>
    </message>
    <message>
        <source>Ungroup Skins</source>
        <translation>Skingruppe auflösen</translation>
    </message>
    <message>
        <source>Ungroup Frames</source>
        <translation>Framegruppe auflösen</translation>
    </message>
</context>
<context>
    <name>faceto::AboutDialog</name>
    <message>
        <source>About Faceto</source>
        <translation>Über Faceto</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
    <message>
        <source>Written by the Faceto project: the model core and file formats,
the 8-bit software renderer, and the editor&apos;s views and panels.

Tested with models and skins made by the modding community
and shared under their own licences.</source>
        <translation>Geschrieben vom Faceto-Projekt: der Modellkern und die Dateiformate,
der 8-Bit-Software-Renderer und die Ansichten und Leisten des Editors.

Getestet mit Modellen und Skins aus der Modding-Gemeinschaft,
geteilt unter ihren eigenen Lizenzen.</translation>
    </message>
    <message>
        <source>Licence: MIT (see the LICENSE file that comes with the program)
Built with Qt %1, running on Qt %2</source>
        <translation>Lizenz: MIT (siehe die Datei LICENSE, die mit dem Programm kommt)
Gebaut mit Qt %1, läuft mit Qt %2</translation>
    </message>
</context>
<context>
    <name>faceto::C2DView</name>
    <message>
        <source>Top view</source>
        <translation>Draufsicht</translation>
    </message>
    <message>
        <source>Side view</source>
        <translation>Seitenansicht</translation>
    </message>
    <message>
        <source>Front view</source>
        <translation>Vorderansicht</translation>
    </message>
</context>
<context>
    <name>faceto::CAnimationPlayer</name>
    <message>
        <source>Frame</source>
        <translation>Einzelbild</translation>
    </message>
    <message>
        <source>Position in the animation: drag it to show a frame</source>
        <translation>Stelle in der Animation: ziehen, um ein Einzelbild zu zeigen</translation>
    </message>
    <message>
        <source>The frame of the current animation the preview shows; drag to choose one</source>
        <translation>Das Einzelbild der aktuellen Animation, das die Vorschau zeigt; ziehen, um eines zu wählen</translation>
    </message>
    <message>
        <source>Full screen</source>
        <translation>Vollbild</translation>
    </message>
    <message>
        <source>Show the preview on the whole screen; any key brings it back</source>
        <translation>Die Vorschau auf dem ganzen Bildschirm zeigen; jede Taste holt sie zurück</translation>
    </message>
    <message>
        <source>Show vertices</source>
        <translation>Eckpunkte zeigen</translation>
    </message>
    <message>
        <source>Draw the corners of the triangles as dots</source>
        <translation>Die Ecken der Dreiecke als Punkte zeichnen</translation>
    </message>
    <message>
        <source>Show edges</source>
        <translation>Kanten zeigen</translation>
    </message>
    <message>
        <source>Draw the edges of the triangles</source>
        <translation>Die Kanten der Dreiecke zeichnen</translation>
    </message>
    <message>
        <source>Fill</source>
        <translation>Füllen</translation>
    </message>
    <message>
        <source>Fill the triangles: textured with the skin, not at all, or shaded (each click the next)</source>
        <translation>Die Dreiecke füllen: mit dem Skin texturiert, gar nicht oder schattiert (jeder Klick das Nächste)</translation>
    </message>
    <message>
        <source>Next skin</source>
        <translation>Nächster Skin</translation>
    </message>
    <message>
        <source>Texture the preview with the model&apos;s next skin</source>
        <translation>Die Vorschau mit dem nächsten Skin des Modells texturieren</translation>
    </message>
    <message>
        <source>One frame back ([)</source>
        <translation>Ein Einzelbild zurück ([)</translation>
    </message>
    <message>
        <source>Step back</source>
        <translation>Schritt zurück</translation>
    </message>
    <message>
        <source>Play or pause (Ctrl+Space)</source>
        <translation>Abspielen oder anhalten (Strg+Leertaste)</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Abspielen</translation>
    </message>
    <message>
        <source>One frame on (])</source>
        <translation>Ein Einzelbild vor (])</translation>
    </message>
    <message>
        <source>Step on</source>
        <translation>Schritt vor</translation>
    </message>
    <message>
        <source> fps</source>
        <translation> Bilder/s</translation>
    </message>
    <message>
        <source>Frames a second</source>
        <translation>Einzelbilder je Sekunde</translation>
    </message>
    <message>
        <source>Loop</source>
        <translation>Schleife</translation>
    </message>
    <message>
        <source>Camera follows</source>
        <translation>Kamera folgt</translation>
    </message>
    <message>
        <source>The camera pane of the active window shows the frame played</source>
        <translation>Die Kameraleiste des aktiven Fensters zeigt das abgespielte Einzelbild</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Smooth</source>
        <translation>Weich</translation>
    </message>
    <message>
        <source>Move between the frames as the engines do, at the display&apos;s rate</source>
        <translation>Zwischen den Einzelbildern weich übergehen wie die Engines, in der Bildrate des Bildschirms</translation>
    </message>
</context>
<context>
    <name>faceto::CAnimationView</name>
    <message>
        <source>Animation View</source>
        <translation>Animationsansicht</translation>
    </message>
    <message>
        <source>Animation preview</source>
        <translation>Animationsvorschau</translation>
    </message>
</context>
<context>
    <name>faceto::CCameraView</name>
    <message>
        <source>Camera view</source>
        <translation>Kameraansicht</translation>
    </message>
</context>
<context>
    <name>faceto::CFacetoApp</name>
    <message>
        <source>All models (%1)</source>
        <translation>Alle Modelle (%1)</translation>
    </message>
    <message>
        <source>%1 is open already</source>
        <translation>%1 ist schon geöffnet</translation>
    </message>
    <message>
        <source>%1 is saved in its own format (%2), which does not keep groups, the selection or hidden vertices.
To keep them, use Save As and choose Faceto Model (*.fm).</source>
        <translation>%1 wird in seinem eigenen Format (%2) gespeichert, das weder Gruppen noch die Auswahl noch ausgeblendete Eckpunkte behält.
Um sie zu behalten, „Speichern unter“ wählen und Faceto-Modell (*.fm) nehmen.</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Save As...</source>
        <translation>Speichern unter...</translation>
    </message>
    <message>
        <source>%1 already exists and holds another picture than the one this save writes there (perhaps the skin of another model).
Replace it?</source>
        <translation>%1 gibt es schon und enthält ein anderes Bild als das, welches dieses Speichern dort schreibt (vielleicht den Skin eines anderen Modells).
Ersetzen?</translation>
    </message>
    <message>
        <source>These files already exist and hold other pictures than the ones this save writes there (perhaps the skins of another model):
%1
Replace them?</source>
        <translation>Diese Dateien gibt es schon und sie enthalten andere Bilder als die, welche dieses Speichern dort schreibt (vielleicht die Skins eines anderen Modells):
%1
Ersetzen?</translation>
    </message>
    <message>
        <source>%1 was changed by another program since it was opened or saved here.
Save over it, losing those changes?</source>
        <translation>%1 wurde seit dem Öffnen oder Speichern hier von einem anderen Programm geändert.
Darüber speichern und diese Änderungen verlieren?</translation>
    </message>
    <message>
        <source>1 file of the last session is gone</source>
        <translation>1 Datei der letzten Sitzung fehlt</translation>
    </message>
    <message>
        <source>%1 files of the last session are gone</source>
        <translation>%1 Dateien der letzten Sitzung fehlen</translation>
    </message>
</context>
<context>
    <name>faceto::CGridPanel</name>
    <message>
        <source>Visible</source>
        <translation>Sichtbar</translation>
    </message>
    <message>
        <source>Snap To</source>
        <translation>Einrasten</translation>
    </message>
    <message>
        <source>Frame</source>
        <translation>Einzelbild</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Anwenden</translation>
    </message>
    <message>
        <source>Grid Spacing</source>
        <translation>Rasterabstand</translation>
    </message>
    <message>
        <source>Enter a number.</source>
        <translation>Eine Zahl eingeben.</translation>
    </message>
    <message>
        <source>Enter a number between 1e-08 and 1000.</source>
        <translation>Eine Zahl zwischen 1e-08 und 1000 eingeben.</translation>
    </message>
</context>
<context>
    <name>faceto::CMainFrame</name>
    <message>
        <source>Faceto</source>
        <translation>Faceto</translation>
    </message>
    <message>
        <source>Project</source>
        <translation>Projekt</translation>
    </message>
    <message>
        <source>Undo History</source>
        <translation>Rückgängig-Verlauf</translation>
    </message>
    <message>
        <source>Skin</source>
        <translation>Skin</translation>
    </message>
    <message>
        <source>&amp;New</source>
        <translation>&amp;Neu</translation>
    </message>
    <message>
        <source>Create a new document
New</source>
        <translation>Ein neues Dokument anlegen
Neu</translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation>Ö&amp;ffnen...</translation>
    </message>
    <message>
        <source>Open an existing document
Open</source>
        <translation>Ein vorhandenes Dokument öffnen
Öffnen</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>S&amp;chließen</translation>
    </message>
    <message>
        <source>Close the active document
Close</source>
        <translation>Das aktive Dokument schließen
Schließen</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>Save the active document
Save</source>
        <translation>Das aktive Dokument speichern
Speichern</translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation>Speichern &amp;unter...</translation>
    </message>
    <message>
        <source>Save the active document with a new name
Save As</source>
        <translation>Das aktive Dokument unter neuem Namen speichern
Speichern unter</translation>
    </message>
    <message>
        <source>Game Setup</source>
        <translation>Spiel einrichten</translation>
    </message>
    <message>
        <source>Set Game information.</source>
        <translation>Spielinformationen festlegen.</translation>
    </message>
    <message>
        <source>Save Settings</source>
        <translation>Einstellungen speichern</translation>
    </message>
    <message>
        <source>Write every setting to the settings file now
Save Settings</source>
        <translation>Jede Einstellung jetzt in die Einstellungsdatei schreiben
Einstellungen speichern</translation>
    </message>
    <message>
        <source>&amp;Export Frame</source>
        <translation>Einzelbild &amp;exportieren</translation>
    </message>
    <message>
        <source>Save the current frame as a Wavefront OBJ file
Export Frame</source>
        <translation>Das aktuelle Einzelbild als Wavefront-OBJ-Datei speichern
Einzelbild exportieren</translation>
    </message>
    <message>
        <source>&amp;Import Frame</source>
        <translation>Einzelbild &amp;importieren</translation>
    </message>
    <message>
        <source>Put a pose from an OBJ file into the current frame
Import Frame</source>
        <translation>Eine Pose aus einer OBJ-Datei in das aktuelle Einzelbild übernehmen
Einzelbild importieren</translation>
    </message>
    <message>
        <source>Export Skin</source>
        <translation>Skin exportieren</translation>
    </message>
    <message>
        <source>Save the current skin as a PCX or PNG picture, with its skin map on request
Export Skin</source>
        <translation>Den aktuellen Skin als PCX- oder PNG-Bild speichern, auf Wunsch mit seinem Skin-Map
Skin exportieren</translation>
    </message>
    <message>
        <source>Import Skin</source>
        <translation>Skin importieren</translation>
    </message>
    <message>
        <source>Replace the current skin with a picture, or add it as a new skin
Import Skin</source>
        <translation>Den aktuellen Skin durch ein Bild ersetzen oder es als neuen Skin hinzufügen
Skin importieren</translation>
    </message>
    <message>
        <source>New Skin</source>
        <translation>Neuer Skin</translation>
    </message>
    <message>
        <source>Add an empty skin of a chosen size
New Skin</source>
        <translation>Einen leeren Skin gewählter Größe hinzufügen
Neuer Skin</translation>
    </message>
    <message>
        <source>Delete Skin</source>
        <translation>Skin löschen</translation>
    </message>
    <message>
        <source>Delete the current skin
Delete Skin</source>
        <translation>Den aktuellen Skin löschen
Skin löschen</translation>
    </message>
    <message>
        <source>Resize Skin</source>
        <translation>Skingröße ändern</translation>
    </message>
    <message>
        <source>Stretch the current skin to another size, with its skin coordinates
Resize Skin</source>
        <translation>Den aktuellen Skin mit seinen Skin-Koordinaten auf eine andere Größe strecken
Skingröße ändern</translation>
    </message>
    <message>
        <source>Generate SkinMap</source>
        <translation>Skin-Map erzeugen</translation>
    </message>
    <message>
        <source>Map the current frame seen from the front onto the skin: front faces left, back faces right
Generate SkinMap</source>
        <translation>Das aktuelle Einzelbild von vorn gesehen auf den Skin abbilden: Vorderseiten links, Rückseiten rechts
Skin-Map erzeugen</translation>
    </message>
    <message>
        <source>P&amp;rint Setup...</source>
        <translation>Dru&amp;cker einrichten...</translation>
    </message>
    <message>
        <source>Change the printer and printing options
Page Setup</source>
        <translation>Drucker und Druckoptionen ändern
Seite einrichten</translation>
    </message>
    <message>
        <source>&amp;Print...</source>
        <translation>&amp;Drucken...</translation>
    </message>
    <message>
        <source>Print the active window&apos;s four views on one page
Print</source>
        <translation>Die vier Ansichten des aktiven Fensters auf einer Seite drucken
Drucken</translation>
    </message>
    <message>
        <source>Print Pre&amp;view...</source>
        <translation>Druck&amp;vorschau...</translation>
    </message>
    <message>
        <source>Show the page as it would be printed
Print Preview</source>
        <translation>Die Seite so zeigen, wie sie gedruckt würde
Druckvorschau</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Quit the application; prompts to save documents
Exit</source>
        <translation>Das Programm beenden; fragt nach dem Speichern der Dokumente
Beenden</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>Undo the last action
Undo</source>
        <translation>Die letzte Aktion rückgängig machen
Rückgängig</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Wiederholen</translation>
    </message>
    <message>
        <source>Redo the action undone last
Redo</source>
        <translation>Die zuletzt rückgängig gemachte Aktion wiederholen
Wiederholen</translation>
    </message>
    <message>
        <source>Undo &amp;History</source>
        <translation>Rückgängig-&amp;Verlauf</translation>
    </message>
    <message>
        <source>Show or hide the list of the steps that can be undone
Undo History</source>
        <translation>Die Liste der Schritte, die rückgängig gemacht werden können, zeigen oder verbergen
Rückgängig-Verlauf</translation>
    </message>
    <message>
        <source>&amp;Skin View</source>
        <translation>&amp;Skin-Ansicht</translation>
    </message>
    <message>
        <source>Show or hide the skin with its skin map
Skin View</source>
        <translation>Den Skin mit seinem Skin-Map zeigen oder verbergen
Skin-Ansicht</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>&amp;Ausschneiden</translation>
    </message>
    <message>
        <source>Cut the selection and put it on the Clipboard
Cut</source>
        <translation>Die Auswahl ausschneiden und in die Zwischenablage legen
Ausschneiden</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <source>Copy the selection and put it on the Clipboard
Copy</source>
        <translation>Die Auswahl kopieren und in die Zwischenablage legen
Kopieren</translation>
    </message>
    <message>
        <source>&amp;Paste Into</source>
        <translation>&amp;Einfügen</translation>
    </message>
    <message>
        <source>Insert Clipboard contents
Paste</source>
        <translation>Inhalt der Zwischenablage einfügen
Einfügen</translation>
    </message>
    <message>
        <source>&amp;Paste as New Frame</source>
        <translation>Als neues &amp;Einzelbild einfügen</translation>
    </message>
    <message>
        <source>Add the frame on the clipboard after the current frame
Paste as New Frame</source>
        <translation>Das Einzelbild aus der Zwischenablage nach dem aktuellen Einzelbild einfügen
Als neues Einzelbild einfügen</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>&amp;Alles auswählen</translation>
    </message>
    <message>
        <source>Select every visible vertex
Select All</source>
        <translation>Jeden sichtbaren Eckpunkt auswählen
Alles auswählen</translation>
    </message>
    <message>
        <source>Select &amp;None</source>
        <translation>&amp;Nichts auswählen</translation>
    </message>
    <message>
        <source>Deselect every visible vertex
Select None</source>
        <translation>Jeden sichtbaren Eckpunkt abwählen
Nichts auswählen</translation>
    </message>
    <message>
        <source>Invert Selection</source>
        <translation>Auswahl umkehren</translation>
    </message>
    <message>
        <source>Select the visible vertices that are not selected, and only them
Invert Selection</source>
        <translation>Die sichtbaren, nicht ausgewählten Eckpunkte auswählen, und nur sie
Auswahl umkehren</translation>
    </message>
    <message>
        <source>Hide Selected</source>
        <translation>Auswahl ausblenden</translation>
    </message>
    <message>
        <source>Hide All Selected Data
Hide Selected</source>
        <translation>Alle ausgewählten Daten ausblenden
Auswahl ausblenden</translation>
    </message>
    <message>
        <source>Show All</source>
        <translation>Alles zeigen</translation>
    </message>
    <message>
        <source>Show All Data
Show All</source>
        <translation>Alle Daten zeigen
Alles zeigen</translation>
    </message>
    <message>
        <source>Clone Selected</source>
        <translation>Auswahl klonen</translation>
    </message>
    <message>
        <source>Clone Completely Selected Triangles
Clone Selected Triangles</source>
        <translation>Vollständig ausgewählte Dreiecke klonen
Ausgewählte Dreiecke klonen</translation>
    </message>
    <message>
        <source>Delete Selected Tris</source>
        <translation>Ausgewählte Dreiecke löschen</translation>
    </message>
    <message>
        <source>Delete Completely Selected Triangles
Delete Selected Triangles</source>
        <translation>Vollständig ausgewählte Dreiecke löschen
Ausgewählte Dreiecke löschen</translation>
    </message>
    <message>
        <source>Flip Selected Tris</source>
        <translation>Ausgewählte Dreiecke umdrehen</translation>
    </message>
    <message>
        <source>Flip Completely Selected Triangles
Flip Selected Triangles</source>
        <translation>Vollständig ausgewählte Dreiecke umdrehen
Ausgewählte Dreiecke umdrehen</translation>
    </message>
    <message>
        <source>&amp;Transform...</source>
        <translation>&amp;Transformieren...</translation>
    </message>
    <message>
        <source>Scale, turn and move the whole model, every frame alike
Transform</source>
        <translation>Das ganze Modell skalieren, drehen und verschieben, jedes Einzelbild gleich
Transformieren</translation>
    </message>
    <message>
        <source>Mirror &amp;X</source>
        <translation>&amp;X spiegeln</translation>
    </message>
    <message>
        <source>Mirror the whole model front to back, every frame alike
Mirror X</source>
        <translation>Das ganze Modell von vorn nach hinten spiegeln, jedes Einzelbild gleich
X spiegeln</translation>
    </message>
    <message>
        <source>Mirror &amp;Y</source>
        <translation>&amp;Y spiegeln</translation>
    </message>
    <message>
        <source>Mirror the whole model left to right, every frame alike
Mirror Y</source>
        <translation>Das ganze Modell von links nach rechts spiegeln, jedes Einzelbild gleich
Y spiegeln</translation>
    </message>
    <message>
        <source>Mirror &amp;Z</source>
        <translation>&amp;Z spiegeln</translation>
    </message>
    <message>
        <source>Mirror the whole model top to bottom, every frame alike
Mirror Z</source>
        <translation>Das ganze Modell von oben nach unten spiegeln, jedes Einzelbild gleich
Z spiegeln</translation>
    </message>
    <message>
        <source>&amp;Centre on Origin</source>
        <translation>Auf Ursprung &amp;zentrieren</translation>
    </message>
    <message>
        <source>Move the whole model so that its middle is at the origin
Centre on Origin</source>
        <translation>Das ganze Modell so verschieben, dass seine Mitte im Ursprung liegt
Auf Ursprung zentrieren</translation>
    </message>
    <message>
        <source>glTF and OBJ Units...</source>
        <translation>glTF- und OBJ-Einheiten...</translation>
    </message>
    <message>
        <source>How large a unit of a glTF or OBJ file is in model units, on opening and saving
Units</source>
        <translation>Wie groß eine Einheit einer glTF- oder OBJ-Datei in Modelleinheiten ist, beim Öffnen und Speichern
Einheiten</translation>
    </message>
    <message>
        <source>X Lock</source>
        <translation>X sperren</translation>
    </message>
    <message>
        <source>Lock the X axis
X Lock</source>
        <translation>Die X-Achse sperren
X sperren</translation>
    </message>
    <message>
        <source>Y Lock</source>
        <translation>Y sperren</translation>
    </message>
    <message>
        <source>Lock the Y axis
Y Lock</source>
        <translation>Die Y-Achse sperren
Y sperren</translation>
    </message>
    <message>
        <source>Z Lock</source>
        <translation>Z sperren</translation>
    </message>
    <message>
        <source>Lock the Z axis
Z Lock</source>
        <translation>Die Z-Achse sperren
Z sperren</translation>
    </message>
    <message>
        <source>&amp;Toolbar</source>
        <translation>&amp;Werkzeugleiste</translation>
    </message>
    <message>
        <source>Show or hide the toolbar
Toggle ToolBar</source>
        <translation>Die Werkzeugleiste zeigen oder verbergen
Werkzeugleiste ein/aus</translation>
    </message>
    <message>
        <source>&amp;Status Bar</source>
        <translation>&amp;Statusleiste</translation>
    </message>
    <message>
        <source>Show or hide the status bar
Toggle StatusBar</source>
        <translation>Die Statusleiste zeigen oder verbergen
Statusleiste ein/aus</translation>
    </message>
    <message>
        <source>Main ToolBar</source>
        <translation>Hauptwerkzeugleiste</translation>
    </message>
    <message>
        <source>Show or hide the project panel
Main ToolBar</source>
        <translation>Die Projektleiste zeigen oder verbergen
Hauptwerkzeugleiste</translation>
    </message>
    <message>
        <source>Frame</source>
        <translation>Einzelbild</translation>
    </message>
    <message>
        <source>Show the frame list of the project panel
Frame</source>
        <translation>Die Einzelbildliste der Projektleiste zeigen
Einzelbild</translation>
    </message>
    <message>
        <source>Groups</source>
        <translation>Gruppen</translation>
    </message>
    <message>
        <source>Show the group list of the project panel
Groups</source>
        <translation>Die Gruppenliste der Projektleiste zeigen
Gruppen</translation>
    </message>
    <message>
        <source>Primitives</source>
        <translation>Grundkörper</translation>
    </message>
    <message>
        <source>Show the primitives panel
Primitives</source>
        <translation>Die Grundkörperleiste zeigen
Grundkörper</translation>
    </message>
    <message>
        <source>Current Mode</source>
        <translation>Aktueller Modus</translation>
    </message>
    <message>
        <source>Show the tool and the editing level in the status bar
Current Mode</source>
        <translation>Das Werkzeug und die Bearbeitungsebene in der Statusleiste zeigen
Aktueller Modus</translation>
    </message>
    <message>
        <source>Current Action</source>
        <translation>Aktuelle Aktion</translation>
    </message>
    <message>
        <source>Show what a drag is doing in the status bar
Current Action</source>
        <translation>Zeigen, was ein Ziehen gerade tut, in der Statusleiste
Aktuelle Aktion</translation>
    </message>
    <message>
        <source>Grid</source>
        <translation>Raster</translation>
    </message>
    <message>
        <source>Show the grid panel
Grid</source>
        <translation>Die Rasterleiste zeigen
Raster</translation>
    </message>
    <message>
        <source>Animation Player</source>
        <translation>Animationsspieler</translation>
    </message>
    <message>
        <source>Show or hide the animation player
Animation Player</source>
        <translation>Den Animationsspieler zeigen oder verbergen
Animationsspieler</translation>
    </message>
    <message>
        <source>&amp;Play/Pause</source>
        <translation>&amp;Abspielen/Pause</translation>
    </message>
    <message>
        <source>Play the current animation or pause it
Play/Pause</source>
        <translation>Die aktuelle Animation abspielen oder anhalten
Abspielen/Pause</translation>
    </message>
    <message>
        <source>Step &amp;Back</source>
        <translation>Schritt &amp;zurück</translation>
    </message>
    <message>
        <source>Show the frame before in the animation player
Step Back</source>
        <translation>Im Animationsspieler das vorige Einzelbild zeigen
Schritt zurück</translation>
    </message>
    <message>
        <source>Step &amp;On</source>
        <translation>Schritt &amp;vor</translation>
    </message>
    <message>
        <source>Show the next frame in the animation player
Step On</source>
        <translation>Im Animationsspieler das nächste Einzelbild zeigen
Schritt vor</translation>
    </message>
    <message>
        <source>&amp;Reset Camera</source>
        <translation>Kamera &amp;zurücksetzen</translation>
    </message>
    <message>
        <source>Put the camera back where it started
Reset Camera</source>
        <translation>Die Kamera an ihren Anfang zurücksetzen
Kamera zurücksetzen</translation>
    </message>
    <message>
        <source>Frame All</source>
        <translation>Alles einpassen</translation>
    </message>
    <message>
        <source>Show the whole model in every view of the window
Frame All</source>
        <translation>Das ganze Modell in jeder Ansicht des Fensters zeigen
Alles einpassen</translation>
    </message>
    <message>
        <source>Frame Selected</source>
        <translation>Auswahl einpassen</translation>
    </message>
    <message>
        <source>Show the selected vertices in every view of the window
Frame Selected</source>
        <translation>Die ausgewählten Eckpunkte in jeder Ansicht des Fensters zeigen
Auswahl einpassen</translation>
    </message>
    <message>
        <source>&amp;No Rendering</source>
        <translation>&amp;Keine Darstellung</translation>
    </message>
    <message>
        <source>Draw nothing in the camera view
No Rendering</source>
        <translation>In der Kameraansicht nichts zeichnen
Keine Darstellung</translation>
    </message>
    <message>
        <source>&amp;Wireframe</source>
        <translation>&amp;Drahtgitter</translation>
    </message>
    <message>
        <source>Draw the edges of the triangles
Wireframe</source>
        <translation>Die Kanten der Dreiecke zeichnen
Drahtgitter</translation>
    </message>
    <message>
        <source>&amp;Vertex</source>
        <translation>&amp;Eckpunkte</translation>
    </message>
    <message>
        <source>Draw the vertices as dots
Vertex</source>
        <translation>Die Eckpunkte als Punkte zeichnen
Eckpunkte</translation>
    </message>
    <message>
        <source>Flat &amp;Shading</source>
        <translation>Flache &amp;Schattierung</translation>
    </message>
    <message>
        <source>Fill each triangle in one light
Flat Shading</source>
        <translation>Jedes Dreieck in einem Licht füllen
Flache Schattierung</translation>
    </message>
    <message>
        <source>&amp;Gouraud Shading</source>
        <translation>&amp;Gouraud-Schattierung</translation>
    </message>
    <message>
        <source>Light the triangles smoothly across
Gouraud Shading</source>
        <translation>Die Dreiecke weich über die Fläche beleuchten
Gouraud-Schattierung</translation>
    </message>
    <message>
        <source>Texture &amp;Mapped</source>
        <translation>&amp;Texturiert</translation>
    </message>
    <message>
        <source>Paint the triangles with the skin
Texture Mapped</source>
        <translation>Die Dreiecke mit dem Skin bemalen
Texturiert</translation>
    </message>
    <message>
        <source>&amp;Textured and Shaded</source>
        <translation>&amp;Texturiert und schattiert</translation>
    </message>
    <message>
        <source>Paint the triangles with the skin, lit
Textured and Shaded</source>
        <translation>Die Dreiecke mit dem Skin bemalen, beleuchtet
Texturiert und schattiert</translation>
    </message>
    <message>
        <source>&amp;Front/Back</source>
        <translation>&amp;Vorder-/Rückseite</translation>
    </message>
    <message>
        <source>Draw the triangles that face away too
Front/Back</source>
        <translation>Auch die abgewandten Dreiecke zeichnen
Vorder-/Rückseite</translation>
    </message>
    <message>
        <source>&amp;Capture to File</source>
        <translation>In Datei &amp;aufnehmen</translation>
    </message>
    <message>
        <source>Save the camera view as a picture
Capture to File</source>
        <translation>Die Kameraansicht als Bild speichern
In Datei aufnehmen</translation>
    </message>
    <message>
        <source>&amp;Solid</source>
        <translation>&amp;Gefüllt</translation>
    </message>
    <message>
        <source>Fill the triangles in the 2D views
Solid</source>
        <translation>Die Dreiecke in den 2D-Ansichten füllen
Gefüllt</translation>
    </message>
    <message>
        <source>Draw the vertices in the 2D views
Vertex</source>
        <translation>Die Eckpunkte in den 2D-Ansichten zeichnen
Eckpunkte</translation>
    </message>
    <message>
        <source>Positive Depth</source>
        <translation>Positive Tiefe</translation>
    </message>
    <message>
        <source>Look at the 2D view from its usual side
Positive Depth</source>
        <translation>Die 2D-Ansicht von ihrer üblichen Seite betrachten
Positive Tiefe</translation>
    </message>
    <message>
        <source>Negative Depth</source>
        <translation>Negative Tiefe</translation>
    </message>
    <message>
        <source>Look at the 2D view from the other side
Negative Depth</source>
        <translation>Die 2D-Ansicht von der anderen Seite betrachten
Negative Tiefe</translation>
    </message>
    <message>
        <source>&amp;Select</source>
        <translation>&amp;Auswählen</translation>
    </message>
    <message>
        <source>Select and move vertices
Select</source>
        <translation>Eckpunkte auswählen und verschieben
Auswählen</translation>
    </message>
    <message>
        <source>&amp;Move/Zoom</source>
        <translation>&amp;Verschieben/Zoomen</translation>
    </message>
    <message>
        <source>Move and Zoom view
Move + Zoom</source>
        <translation>Ansicht verschieben und zoomen
Verschieben + Zoomen</translation>
    </message>
    <message>
        <source>&amp;Scale</source>
        <translation>&amp;Skalieren</translation>
    </message>
    <message>
        <source>Scale Selected
Scale</source>
        <translation>Auswahl skalieren
Skalieren</translation>
    </message>
    <message>
        <source>&amp;Rotate</source>
        <translation>&amp;Drehen</translation>
    </message>
    <message>
        <source>Rotate Selected
Rotate</source>
        <translation>Auswahl drehen
Drehen</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Bearbeiten</translation>
    </message>
    <message>
        <source>Edit
Edit</source>
        <translation>Bearbeiten
Bearbeiten</translation>
    </message>
    <message>
        <source>Scale</source>
        <translation>Skalieren</translation>
    </message>
    <message>
        <source>Rotate</source>
        <translation>Drehen</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>Gruppe</translation>
    </message>
    <message>
        <source>Group Level Editing
Edit Groups</source>
        <translation>Bearbeitung auf Gruppenebene
Gruppen bearbeiten</translation>
    </message>
    <message>
        <source>Triangle</source>
        <translation>Dreieck</translation>
    </message>
    <message>
        <source>Triangle Level Editing
Edit Triangles</source>
        <translation>Bearbeitung auf Dreiecksebene
Dreiecke bearbeiten</translation>
    </message>
    <message>
        <source>Vertex</source>
        <translation>Eckpunkt</translation>
    </message>
    <message>
        <source>Vertex Level Editing
Edit Vertices</source>
        <translation>Bearbeitung auf Eckpunktebene
Eckpunkte bearbeiten</translation>
    </message>
    <message>
        <source>Object</source>
        <translation>Objekt</translation>
    </message>
    <message>
        <source>Object Level Editing
Edit Objects</source>
        <translation>Bearbeitung auf Objektebene
Objekte bearbeiten</translation>
    </message>
    <message>
        <source>Skeleton</source>
        <translation>Skelett</translation>
    </message>
    <message>
        <source>Show or hide the hierarchy of a Jedi Knight model
Skeleton</source>
        <translation>Die Hierarchie eines Jedi-Knight-Modells zeigen oder verbergen
Skelett</translation>
    </message>
    <message>
        <source>Skeleton Mode
Skeleton</source>
        <translation>Skelettmodus
Skelett</translation>
    </message>
    <message>
        <source>Grids</source>
        <translation>Raster</translation>
    </message>
    <message>
        <source>Toggle grids
Grids</source>
        <translation>Raster ein/aus
Raster</translation>
    </message>
    <message>
        <source>Camera Properties</source>
        <translation>Kameraeigenschaften</translation>
    </message>
    <message>
        <source>Display camera properties dialog
Camera Properties</source>
        <translation>Den Dialog der Kameraeigenschaften zeigen
Kameraeigenschaften</translation>
    </message>
    <message>
        <source>Resize Views Equally</source>
        <translation>Ansichten gleich groß</translation>
    </message>
    <message>
        <source>Resize all four views equally
Resize Views Equally</source>
        <translation>Alle vier Ansichten gleich groß machen
Ansichten gleich groß</translation>
    </message>
    <message>
        <source>Escape</source>
        <translation>Esc</translation>
    </message>
    <message>
        <source>&amp;New Window</source>
        <translation>&amp;Neues Fenster</translation>
    </message>
    <message>
        <source>Open another window for the active document
New Window</source>
        <translation>Ein weiteres Fenster für das aktive Dokument öffnen
Neues Fenster</translation>
    </message>
    <message>
        <source>&amp;Cascade</source>
        <translation>Ü&amp;berlappend</translation>
    </message>
    <message>
        <source>Arrange windows so they overlap
Cascade Windows</source>
        <translation>Fenster überlappend anordnen
Fenster überlappend</translation>
    </message>
    <message>
        <source>&amp;Tile</source>
        <translation>&amp;Nebeneinander</translation>
    </message>
    <message>
        <source>Arrange windows as non-overlapping tiles
Tile Windows</source>
        <translation>Fenster nebeneinander anordnen
Fenster nebeneinander</translation>
    </message>
    <message>
        <source>Ne&amp;xt Window</source>
        <translation>&amp;Nächstes Fenster</translation>
    </message>
    <message>
        <source>Activate the next document window
Next Window</source>
        <translation>Das nächste Dokumentfenster aktivieren
Nächstes Fenster</translation>
    </message>
    <message>
        <source>Pre&amp;vious Window</source>
        <translation>&amp;Voriges Fenster</translation>
    </message>
    <message>
        <source>Activate the previous document window
Previous Window</source>
        <translation>Das vorige Dokumentfenster aktivieren
Voriges Fenster</translation>
    </message>
    <message>
        <source>&amp;About Faceto...</source>
        <translation>Über &amp;Faceto...</translation>
    </message>
    <message>
        <source>Display program information, version number and copyright
About</source>
        <translation>Programminformation, Versionsnummer und Copyright zeigen
Über</translation>
    </message>
    <message>
        <source>&amp;Faceto Homepage</source>
        <translation>&amp;Faceto-Webseite</translation>
    </message>
    <message>
        <source>Open the program&apos;s web page in the browser
Homepage</source>
        <translation>Die Webseite des Programms im Browser öffnen
Webseite</translation>
    </message>
    <message>
        <source>&amp;Getting Started</source>
        <translation>&amp;Erste Schritte</translation>
    </message>
    <message>
        <source>A short guide to the editor
Getting Started</source>
        <translation>Eine kurze Einführung in den Editor
Erste Schritte</translation>
    </message>
    <message>
        <source>&amp;Help Topics</source>
        <translation>&amp;Hilfethemen</translation>
    </message>
    <message>
        <source>List the keys and mouse gestures of the views
Help</source>
        <translation>Die Tasten und Mausgesten der Ansichten auflisten
Hilfe</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>Display help for the views
Help</source>
        <translation>Hilfe zu den Ansichten zeigen
Hilfe</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation>Werkzeugleiste</translation>
    </message>
    <message>
        <source>Blank</source>
        <translation>Leer</translation>
    </message>
    <message>
        <source>Ready</source>
        <translation>Bereit</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>Settings...</source>
        <translation>Einstellungen...</translation>
    </message>
    <message>
        <source>Recent File</source>
        <translation>Zuletzt geöffnete Datei</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>Tools...</source>
        <translation>Werkzeuge...</translation>
    </message>
    <message>
        <source>Player</source>
        <translation>Spieler</translation>
    </message>
    <message>
        <source>3D View</source>
        <translation>3D-Ansicht</translation>
    </message>
    <message>
        <source>2D View</source>
        <translation>2D-Ansicht</translation>
    </message>
    <message>
        <source>&amp;Tools</source>
        <translation>&amp;Werkzeuge</translation>
    </message>
    <message>
        <source>Editing Level</source>
        <translation>Bearbeitungsebene</translation>
    </message>
    <message>
        <source>&amp;Window</source>
        <translation>&amp;Fenster</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Model &amp;Properties...</source>
        <translation>Modell&amp;eigenschaften...</translation>
    </message>
    <message>
        <source>The Quake flags, sync type and eye position, and the Quake 2 skin names
Model Properties</source>
        <translation>Die Quake-Flags, die Synchronisierung und die Augenposition sowie die Quake-2-Skin-Namen
Modelleigenschaften</translation>
    </message>
    <message>
        <source>%1 (and %2 more)</source>
        <translation>%1 (und %2 weitere)</translation>
    </message>
    <message>
        <source>&amp;Interpolate...</source>
        <translation>&amp;Zwischenbilder...</translation>
    </message>
    <message>
        <source>Make frames between the current frame and the next one, evenly spaced
Interpolate</source>
        <translation>Gleichmäßig verteilte Einzelbilder zwischen dem aktuellen und dem nächsten erzeugen
Zwischenbilder</translation>
    </message>
    <message>
        <source>Move Frame &amp;Up</source>
        <translation>Einzelbild nach &amp;oben</translation>
    </message>
    <message>
        <source>Move the current frame up the frame list
Move Frame Up</source>
        <translation>Das aktuelle Einzelbild in der Liste nach oben verschieben
Einzelbild nach oben</translation>
    </message>
    <message>
        <source>Move Frame &amp;Down</source>
        <translation>Einzelbild nach &amp;unten</translation>
    </message>
    <message>
        <source>Move the current frame down the frame list
Move Frame Down</source>
        <translation>Das aktuelle Einzelbild in der Liste nach unten verschieben
Einzelbild nach unten</translation>
    </message>
    <message>
        <source>Move &amp;Animation Up</source>
        <translation>&amp;Animation nach oben</translation>
    </message>
    <message>
        <source>Move the current animation&apos;s frames before the animation above it
Move Animation Up</source>
        <translation>Die Einzelbilder der aktuellen Animation vor die Animation darüber verschieben
Animation nach oben</translation>
    </message>
    <message>
        <source>Move A&amp;nimation Down</source>
        <translation>A&amp;nimation nach unten</translation>
    </message>
    <message>
        <source>Move the current animation&apos;s frames after the animation below it
Move Animation Down</source>
        <translation>Die Einzelbilder der aktuellen Animation hinter die Animation darunter verschieben
Animation nach unten</translation>
    </message>
    <message>
        <source>F&amp;rame</source>
        <translation>Einzel&amp;bild</translation>
    </message>
    <message>
        <source>Group Skins...</source>
        <translation>Skins gruppieren...</translation>
    </message>
    <message>
        <source>Make a run of skins one animated skin, each picture shown for its time
Group Skins</source>
        <translation>Eine Folge von Skins zu einem animierten Skin machen, jedes Bild für seine Zeit gezeigt
Skins gruppieren</translation>
    </message>
    <message>
        <source>Ungroup Skins</source>
        <translation>Skingruppe auflösen</translation>
    </message>
    <message>
        <source>Break the current skin&apos;s group up into single skins
Ungroup Skins</source>
        <translation>Die Gruppe des aktuellen Skins in einzelne Skins auflösen
Skingruppe auflösen</translation>
    </message>
    <message>
        <source>&amp;Group Frames...</source>
        <translation>Frames &amp;gruppieren...</translation>
    </message>
    <message>
        <source>Make a run of frames one frame group, played at its intervals
Group Frames</source>
        <translation>Eine Folge von Frames zu einer Framegruppe machen, in ihren Intervallen abgespielt
Frames gruppieren</translation>
    </message>
    <message>
        <source>U&amp;ngroup Frames</source>
        <translation>Framegruppe auf&amp;lösen</translation>
    </message>
    <message>
        <source>Break the current frame&apos;s group up into single frames
Ungroup Frames</source>
        <translation>Die Gruppe des aktuellen Frames in einzelne Frames auflösen
Framegruppe auflösen</translation>
    </message>
</context>
<context>
    <name>faceto::CPrimitivesPanel</name>
    <message>
        <source>Triangle</source>
        <translation>Dreieck</translation>
    </message>
    <message>
        <source>Cube</source>
        <translation>Würfel</translation>
    </message>
    <message>
        <source>Cone</source>
        <translation>Kegel</translation>
    </message>
    <message>
        <source>Cylinder</source>
        <translation>Zylinder</translation>
    </message>
    <message>
        <source>Sphere</source>
        <translation>Kugel</translation>
    </message>
    <message>
        <source>Choose a shape, then New Face (or double-click it) to add it where the 2D views look</source>
        <translation>Eine Form wählen, dann „Neue Fläche“ (oder doppelklicken), um sie dort einzufügen, wohin die 2D-Ansichten blicken</translation>
    </message>
    <message>
        <source>New Face</source>
        <translation>Neue Fläche</translation>
    </message>
</context>
<context>
    <name>faceto::CProjectManager</name>
    <message>
        <source>Ins</source>
        <translation>Einfg</translation>
    </message>
    <message>
        <source>Del</source>
        <translation>Entf</translation>
    </message>
    <message>
        <source>Animation</source>
        <translation>Animation</translation>
    </message>
    <message>
        <source>Frames</source>
        <translation>Einzelbilder</translation>
    </message>
    <message>
        <source>Groups</source>
        <translation>Gruppen</translation>
    </message>
    <message>
        <source>Click the eye of a group to show or hide it; right-click for more</source>
        <translation>Das Auge einer Gruppe anklicken, um sie zu zeigen oder zu verbergen; Rechtsklick für mehr</translation>
    </message>
    <message>
        <source>Tri: %1
Vert: %2
Anim: %3
Fram: %4</source>
        <translation>Dr.: %1
Eckp.: %2
Anim.: %3
Bild: %4</translation>
    </message>
    <message>
        <source>Tri:
Vert:
Anim:
Fram:</source>
        <translation>Dr.:
Eckp.:
Anim.:
Bild:</translation>
    </message>
    <message>
        <source>Are you sure you want to delete %1 and all of the associated frames?</source>
        <translation>Soll %1 mit allen zugehörigen Einzelbildern wirklich gelöscht werden?</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>Ausschneiden</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>Insert Before</source>
        <translation>Davor einfügen</translation>
    </message>
    <message>
        <source>Insert After</source>
        <translation>Danach einfügen</translation>
    </message>
    <message>
        <source>New</source>
        <translation>Neu</translation>
    </message>
    <message>
        <source>Properties</source>
        <translation>Eigenschaften</translation>
    </message>
    <message>
        <source>Frame Properties</source>
        <translation>Einzelbildeigenschaften</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Visible</source>
        <translation>Sichtbar</translation>
    </message>
    <message>
        <source>Group Properties</source>
        <translation>Gruppeneigenschaften</translation>
    </message>
    <message>
        <source>Select the triangles of the new group first: a triangle belongs to it when its three vertices are selected.</source>
        <translation>Zuerst die Dreiecke der neuen Gruppe auswählen: Ein Dreieck gehört zu ihr, wenn seine drei Eckpunkte ausgewählt sind.</translation>
    </message>
    <message>
        <source>Are you sure you want to delete the group %1 and its triangles?</source>
        <translation>Soll die Gruppe %1 mit ihren Dreiecken wirklich gelöscht werden?</translation>
    </message>
    <message>
        <source>(no name)</source>
        <translation>(ohne Namen)</translation>
    </message>
</context>
<context>
    <name>faceto::CSkinPanel</name>
    <message>
        <source>Group %1: %2 pictures</source>
        <translation>Gruppe %1: %2 Bilder</translation>
    </message>
    <message>
        <source>skin</source>
        <translation>Skin</translation>
    </message>
    <message>
        <source>    %1: picture %2 of %3, %4 s %5</source>
        <translation>    %1: Bild %2 von %3, %4 s %5</translation>
    </message>
    <message>
        <source>Skin</source>
        <translation>Skin</translation>
    </message>
    <message>
        <source>The skin shown here and in the textured views</source>
        <translation>Der Skin, der hier und in den texturierten Ansichten gezeigt wird</translation>
    </message>
    <message>
        <source>Snap to texels</source>
        <translation>An Texeln einrasten</translation>
    </message>
    <message>
        <source>Moved, scaled and turned skin coordinates land on whole texels</source>
        <translation>Verschobene, skalierte und gedrehte Skin-Koordinaten landen auf ganzen Texeln</translation>
    </message>
    <message>
        <source>Play groups</source>
        <translation>Gruppen abspielen</translation>
    </message>
    <message>
        <source>A skin group shows its pictures at their intervals, as the game does</source>
        <translation>Eine Skingruppe zeigt ihre Bilder in ihren Intervallen, wie das Spiel</translation>
    </message>
</context>
<context>
    <name>faceto::CSkinView</name>
    <message>
        <source>The model has no skin: New Skin or Generate SkinMap makes one.</source>
        <translation>Das Modell hat keinen Skin: „Neuer Skin“ oder „Skin-Map erzeugen“ legt einen an.</translation>
    </message>
</context>
<context>
    <name>faceto::CUndoHistoryPanel</name>
    <message>
        <source>Click a step to go back (or forward) to just after it</source>
        <translation>Einen Schritt anklicken, um bis direkt nach ihm zurück (oder vor) zu gehen</translation>
    </message>
</context>
<context>
    <name>faceto::CameraPropertiesDialog</name>
    <message>
        <source>No Rendering</source>
        <translation>Keine Darstellung</translation>
    </message>
    <message>
        <source>Wireframe</source>
        <translation>Drahtgitter</translation>
    </message>
    <message>
        <source>Vertex</source>
        <translation>Eckpunkt</translation>
    </message>
    <message>
        <source>Flat Shading</source>
        <translation>Flache Schattierung</translation>
    </message>
    <message>
        <source>Gouraud Shading</source>
        <translation>Gouraud-Schattierung</translation>
    </message>
    <message>
        <source>Texture Mapped</source>
        <translation>Texturiert</translation>
    </message>
    <message>
        <source>Textured and Shaded</source>
        <translation>Texturiert und schattiert</translation>
    </message>
    <message>
        <source>Camera Properties</source>
        <translation>Kameraeigenschaften</translation>
    </message>
    <message>
        <source>The palette index of the background</source>
        <translation>Der Palettenindex des Hintergrunds</translation>
    </message>
    <message>
        <source>The light everywhere, facing the camera or not</source>
        <translation>Das Licht überall, ob der Kamera zugewandt oder nicht</translation>
    </message>
    <message>
        <source>The light on what faces the camera</source>
        <translation>Das Licht auf dem, was der Kamera zugewandt ist</translation>
    </message>
    <message>
        <source>&amp;Rendering:</source>
        <translation>&amp;Darstellung:</translation>
    </message>
    <message>
        <source>&amp;Background colour:</source>
        <translation>&amp;Hintergrundfarbe:</translation>
    </message>
    <message>
        <source>&amp;Ambient light:</source>
        <translation>&amp;Umgebungslicht:</translation>
    </message>
    <message>
        <source>&amp;Spot light:</source>
        <translation>&amp;Spotlicht:</translation>
    </message>
</context>
<context>
    <name>faceto::ChangeProperties</name>
    <message>
        <source>Model Properties</source>
        <translation>Modelleigenschaften</translation>
    </message>
</context>
<context>
    <name>faceto::EditDrag</name>
    <message>
        <source>Move Vertices</source>
        <translation>Eckpunkte verschieben</translation>
    </message>
</context>
<context>
    <name>faceto::EditorCommands</name>
    <message>
        <source>Rotate</source>
        <translation>Drehen</translation>
    </message>
    <message>
        <source>Scale</source>
        <translation>Skalieren</translation>
    </message>
    <message>
        <source>Move/Zoom</source>
        <translation>Verschieben/Zoomen</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Bearbeiten</translation>
    </message>
    <message>
        <source>object</source>
        <translation>Objekt</translation>
    </message>
    <message>
        <source>group</source>
        <translation>Gruppe</translation>
    </message>
    <message>
        <source>triangle</source>
        <translation>Dreieck</translation>
    </message>
    <message>
        <source>vertex</source>
        <translation>Eckpunkt</translation>
    </message>
    <message>
        <source>Wavefront OBJ (*.obj)</source>
        <translation>Wavefront OBJ (*.obj)</translation>
    </message>
    <message>
        <source>%1 tool, %2 level</source>
        <translation>Werkzeug %1, Ebene %2</translation>
    </message>
    <message>
        <source>The settings could not be saved.
</source>
        <translation>Die Einstellungen konnten nicht gespeichert werden.
</translation>
    </message>
    <message>
        <source>Settings saved to </source>
        <translation>Einstellungen gespeichert in </translation>
    </message>
    <message>
        <source>PNG picture (*.png)</source>
        <translation>PNG-Bild (*.png)</translation>
    </message>
    <message>
        <source>The picture could not be saved.
</source>
        <translation>Das Bild konnte nicht gespeichert werden.
</translation>
    </message>
    <message>
        <source>Saved </source>
        <translation>Gespeichert: </translation>
    </message>
    <message>
        <source>%1, %2 selected</source>
        <translation>%1, %2 ausgewählt</translation>
    </message>
    <message>
        <source>1 vertex</source>
        <translation>1 Eckpunkt</translation>
    </message>
    <message>
        <source>%1 vertices</source>
        <translation>%1 Eckpunkte</translation>
    </message>
    <message>
        <source>1 triangle</source>
        <translation>1 Dreieck</translation>
    </message>
    <message>
        <source>%1 triangles</source>
        <translation>%1 Dreiecke</translation>
    </message>
    <message>
        <source>No web browser could be started. The program&apos;s web page is at
%1</source>
        <translation>Es konnte kein Webbrowser gestartet werden. Die Webseite des Programms ist
%1</translation>
    </message>
    <message>
        <source>&amp;Undo %1</source>
        <translation>&amp;Rückgängig: %1</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>&amp;Redo %1</source>
        <translation>&amp;Wiederholen: %1</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Wiederholen</translation>
    </message>
    <message>
        <source>New Skin</source>
        <translation>Neuer Skin</translation>
    </message>
    <message>
        <source>Delete skin %1?</source>
        <translation>Skin %1 löschen?</translation>
    </message>
    <message>
        <source>Resize Skin</source>
        <translation>Skingröße ändern</translation>
    </message>
    <message>
        <source>Generate SkinMap needs a current frame with triangles.</source>
        <translation>Skin-Map erzeugen braucht ein aktuelles Einzelbild mit Dreiecken.</translation>
    </message>
    <message>
        <source>Skin Pictures (*.pcx *.png *.bmp *.tga)</source>
        <translation>Skin-Bilder (*.pcx *.png *.bmp *.tga)</translation>
    </message>
    <message>
        <source>All Files (*)</source>
        <translation>Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Cannot import %1:
%2</source>
        <translation>%1 kann nicht importiert werden:
%2</translation>
    </message>
    <message>
        <source>Replace skin %1 with %2, or add the picture as a new skin?</source>
        <translation>Skin %1 durch %2 ersetzen oder das Bild als neuen Skin hinzufügen?</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>Ersetzen</translation>
    </message>
    <message>
        <source>Add as New Skin</source>
        <translation>Als neuen Skin hinzufügen</translation>
    </message>
    <message>
        <source>The picture is %1 x %2 texels; the skin map is made for %3 x %4.
Scale the skin coordinates to the picture?</source>
        <translation>Das Bild ist %1 × %2 Texel groß; das Skin-Map ist für %3 × %4 gemacht.
Die Skin-Koordinaten auf das Bild skalieren?</translation>
    </message>
    <message>
        <source>The model has no skin to export.</source>
        <translation>Das Modell hat keinen Skin zum Exportieren.</translation>
    </message>
    <message>
        <source>skin%1</source>
        <translation>skin%1</translation>
    </message>
    <message>
        <source>Export skin %1 as it is, or with the skin map drawn over it as a template to paint on?</source>
        <translation>Skin %1 so exportieren, wie er ist, oder mit dem darübergezeichneten Skin-Map als Malvorlage?</translation>
    </message>
    <message>
        <source>Picture Only</source>
        <translation>Nur das Bild</translation>
    </message>
    <message>
        <source>With the Skin Map</source>
        <translation>Mit dem Skin-Map</translation>
    </message>
    <message>
        <source>Cannot export the skin to %1:
%2</source>
        <translation>Der Skin kann nicht nach %1 exportiert werden:
%2</translation>
    </message>
    <message>
        <source>Delete Triangles</source>
        <translation>Dreiecke löschen</translation>
    </message>
    <message>
        <source>unnamed</source>
        <translation>unbenannt</translation>
    </message>
    <message>
        <source>Import Skin</source>
        <translation>Skin importieren</translation>
    </message>
    <message>
        <source>Choose the frame to interpolate from first.</source>
        <translation>Zuerst das Einzelbild wählen, von dem aus interpoliert wird.</translation>
    </message>
    <message>
        <source>Choose two different frames.</source>
        <translation>Zwei verschiedene Einzelbilder wählen.</translation>
    </message>
    <message>
        <source>%1 and %2 belong to different animations.
Make the frames in %1&apos;s animation?</source>
        <translation>%1 und %2 gehören zu verschiedenen Animationen.
Die Einzelbilder in der Animation von %1 erzeugen?</translation>
    </message>
    <message>
        <source>Grouping needs at least two skins.</source>
        <translation>Zum Gruppieren braucht es mindestens zwei Skins.</translation>
    </message>
    <message>
        <source>skin</source>
        <translation>Skin</translation>
    </message>
    <message>
        <source>Group Skins</source>
        <translation>Skins gruppieren</translation>
    </message>
    <message>
        <source>The current skin belongs to no skin group.</source>
        <translation>Der aktuelle Skin gehört zu keiner Skingruppe.</translation>
    </message>
    <message>
        <source>Grouping needs at least two frames.</source>
        <translation>Zum Gruppieren braucht es mindestens zwei Frames.</translation>
    </message>
    <message>
        <source>Group Frames</source>
        <translation>Frames gruppieren</translation>
    </message>
    <message>
        <source>The current frame belongs to no frame group.</source>
        <translation>Der aktuelle Frame gehört zu keiner Framegruppe.</translation>
    </message>
</context>
<context>
    <name>faceto::FrameClipboard</name>
    <message>
        <source>Cut</source>
        <translation>Ausschneiden</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Einfügen</translation>
    </message>
</context>
<context>
    <name>faceto::GameSetupDialog</name>
    <message>
        <source>Game Dialog</source>
        <translation>Spieldialog</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Durchsuchen...</translation>
    </message>
    <message>
        <source>Quake 2</source>
        <translation>Quake 2</translation>
    </message>
    <message>
        <source>Base Folder</source>
        <translation>Basisordner</translation>
    </message>
    <message>
        <source>Quake (MDL)</source>
        <translation>Quake (MDL)</translation>
    </message>
    <message>
        <source>Hexen2 (MDL)</source>
        <translation>Hexen II (MDL)</translation>
    </message>
    <message>
        <source>Skins of .mdl models use</source>
        <translation>Skins von .mdl-Modellen verwenden</translation>
    </message>
    <message>
        <source>the Quake palette</source>
        <translation>die Quake-Palette</translation>
    </message>
    <message>
        <source>the Hexen II palette</source>
        <translation>die Hexen-II-Palette</translation>
    </message>
</context>
<context>
    <name>faceto::GroupDialog</name>
    <message>
        <source>&amp;First:</source>
        <translation>&amp;Erster:</translation>
    </message>
    <message>
        <source>&amp;Last:</source>
        <translation>&amp;Letzter:</translation>
    </message>
    <message>
        <source>Shown until (s)</source>
        <translation>Gezeigt bis (s)</translation>
    </message>
    <message>
        <source>Intervals</source>
        <translation>Intervalle</translation>
    </message>
    <message>
        <source>Each member shows until its time, counted from the group&apos;s start; the times increase, and after the last the group starts again.</source>
        <translation>Jedes Glied wird bis zu seiner Zeit gezeigt, gezählt vom Beginn der Gruppe; die Zeiten steigen, und nach der letzten beginnt die Gruppe von vorn.</translation>
    </message>
</context>
<context>
    <name>faceto::HelpDialog</name>
    <message>
        <source>The guide is missing from this build. See %1</source>
        <translation>Die Einführung fehlt in diesem Build. Siehe %1</translation>
    </message>
    <message>
        <source>Faceto Help</source>
        <translation>Faceto-Hilfe</translation>
    </message>
    <message>
        <source>Getting Started</source>
        <translation>Erste Schritte</translation>
    </message>
    <message>
        <source>Keys and Mouse</source>
        <translation>Tasten und Maus</translation>
    </message>
    <message>
        <source>&lt;h3&gt;2D views&lt;/h3&gt;&lt;ul&gt;&lt;li&gt;&lt;b&gt;Edit tool&lt;/b&gt;: click a vertex to select or deselect it; drag from empty space to add the vertices inside the rectangle to the selection; drag a selected vertex to move the selection (X, Y and Z lock axes; &lt;i&gt;Snap To&lt;/i&gt; puts the dragged vertex on the grid).&lt;/li&gt;&lt;li&gt;At the &lt;b&gt;triangle level&lt;/b&gt; (Alt+3) a click selects the triangle under the pointer, a rectangle the triangles wholly inside it; at the &lt;b&gt;object level&lt;/b&gt; (Alt+1) a click selects the whole model.&lt;/li&gt;&lt;li&gt;&lt;b&gt;Scale tool&lt;/b&gt;: drag up or right to grow, down or left to shrink the selection (Shift: 2% steps); with the right button each view axis follows its own direction.&lt;/li&gt;&lt;li&gt;&lt;b&gt;Rotate tool&lt;/b&gt;: drag sideways to turn the selection about its centre, one degree per pixel (Shift: 15-degree steps).&lt;/li&gt;&lt;li&gt;&lt;b&gt;Move/Zoom tool&lt;/b&gt; (M), or any tool with &lt;b&gt;Ctrl&lt;/b&gt;: drag with the left button to pan, with the right button to zoom; click to zoom in (left) or out (right) about the point.&lt;/li&gt;&lt;li&gt;Keys &lt;b&gt;0&lt;/b&gt;-&lt;b&gt;9&lt;/b&gt; set the zoom of the view under the keyboard focus; &lt;b&gt;S&lt;/b&gt; fills the triangles, &lt;b&gt;Shift+V&lt;/b&gt; shows or hides the vertex dots, &lt;b&gt;P&lt;/b&gt; the Jedi Knight hierarchy.&lt;/li&gt;&lt;/ul&gt;&lt;h3&gt;3D views&lt;/h3&gt;&lt;ul&gt;&lt;li&gt;Left drag turns the model, right drag pans; both buttons: the right pauses the turn, and pressing the left during a right drag moves the camera in and out.&lt;/li&gt;&lt;li&gt;&lt;b&gt;W&lt;/b&gt; wireframe, &lt;b&gt;V&lt;/b&gt; vertices, &lt;b&gt;Shift+1&lt;/b&gt;-&lt;b&gt;Shift+5&lt;/b&gt; none, flat, Gouraud, textured, textured and shaded; &lt;b&gt;F&lt;/b&gt; draws the back faces too; &lt;b&gt;F12&lt;/b&gt; saves the picture.&lt;/li&gt;&lt;li&gt;&lt;b&gt;R&lt;/b&gt; puts the camera back where it started.&lt;/li&gt;&lt;/ul&gt;&lt;h3&gt;Keys&lt;/h3&gt;&lt;ul&gt;&lt;li&gt;&lt;b&gt;C&lt;/b&gt; select none, &lt;b&gt;Shift+C&lt;/b&gt; select all, &lt;b&gt;I&lt;/b&gt; invert, &lt;b&gt;H&lt;/b&gt; hide the selection, &lt;b&gt;Shift+H&lt;/b&gt; show all; &lt;b&gt;X&lt;/b&gt; &lt;b&gt;Y&lt;/b&gt; &lt;b&gt;Z&lt;/b&gt; axis locks.&lt;/li&gt;&lt;li&gt;&lt;b&gt;Del&lt;/b&gt; deletes the selected triangles (in the frame list: the frame), &lt;b&gt;Ctrl+F&lt;/b&gt; flips them, &lt;b&gt;Ctrl+D&lt;/b&gt; clones them.&lt;/li&gt;&lt;li&gt;&lt;b&gt;Alt+1&lt;/b&gt; object, &lt;b&gt;Alt+2&lt;/b&gt; group, &lt;b&gt;Alt+3&lt;/b&gt; triangle, &lt;b&gt;Alt+4&lt;/b&gt; vertex level.&lt;/li&gt;&lt;li&gt;&lt;b&gt;Ctrl+C&lt;/b&gt;, &lt;b&gt;Ctrl+X&lt;/b&gt;, &lt;b&gt;Ctrl+V&lt;/b&gt;: copy, cut and paste the selected triangles; &lt;b&gt;Ctrl+B&lt;/b&gt; pastes a copied frame as a new frame.&lt;/li&gt;&lt;li&gt;&lt;b&gt;Ctrl+Z&lt;/b&gt; undo, &lt;b&gt;Ctrl+Y&lt;/b&gt; redo; &lt;b&gt;F5&lt;/b&gt; shows or hides the animation player, &lt;b&gt;Ctrl+Space&lt;/b&gt; plays or pauses it, &lt;b&gt;[&lt;/b&gt; and &lt;b&gt;]&lt;/b&gt; step it back and on.&lt;/li&gt;&lt;li&gt;&lt;b&gt;Esc&lt;/b&gt; ends the full-screen animation preview.&lt;/li&gt;&lt;/ul&gt;</source>
        <translation>&lt;h3&gt;2D-Ansichten&lt;/h3&gt;&lt;ul&gt;&lt;li&gt;&lt;b&gt;Bearbeiten-Werkzeug&lt;/b&gt;: Ein Klick auf einen Eckpunkt wählt ihn aus oder ab; Ziehen von einer leeren Stelle fügt die Eckpunkte im Rechteck der Auswahl hinzu; Ziehen eines ausgewählten Eckpunkts verschiebt die Auswahl (X, Y und Z sperren Achsen; &lt;i&gt;Einrasten&lt;/i&gt; setzt den gezogenen Eckpunkt aufs Raster).&lt;/li&gt;&lt;li&gt;Auf der &lt;b&gt;Dreiecksebene&lt;/b&gt; (Alt+3) wählt ein Klick das Dreieck unter dem Zeiger, ein Rechteck die Dreiecke ganz darin; auf der &lt;b&gt;Objektebene&lt;/b&gt; (Alt+1) wählt ein Klick das ganze Modell.&lt;/li&gt;&lt;li&gt;&lt;b&gt;Skalieren-Werkzeug&lt;/b&gt;: nach oben oder rechts ziehen vergrößert, nach unten oder links verkleinert die Auswahl (Umschalt: Schritte von 2%); mit der rechten Taste folgt jede Achse der Ansicht ihrer eigenen Richtung.&lt;/li&gt;&lt;li&gt;&lt;b&gt;Drehen-Werkzeug&lt;/b&gt;: seitlich ziehen dreht die Auswahl um ihre Mitte, ein Grad je Pixel (Umschalt: Schritte von 15 Grad).&lt;/li&gt;&lt;li&gt;&lt;b&gt;Verschieben/Zoomen-Werkzeug&lt;/b&gt; (M) oder jedes Werkzeug mit &lt;b&gt;Strg&lt;/b&gt;: mit der linken Taste ziehen verschiebt, mit der rechten zoomt; ein Klick zoomt um den Punkt hinein (links) oder heraus (rechts).&lt;/li&gt;&lt;li&gt;Die Tasten &lt;b&gt;0&lt;/b&gt;-&lt;b&gt;9&lt;/b&gt; setzen den Zoom der Ansicht mit dem Tastaturfokus; &lt;b&gt;S&lt;/b&gt; füllt die Dreiecke, &lt;b&gt;Umschalt+V&lt;/b&gt; zeigt oder verbirgt die Eckpunkte, &lt;b&gt;P&lt;/b&gt; die Hierarchie eines Jedi-Knight-Modells.&lt;/li&gt;&lt;/ul&gt;&lt;h3&gt;3D-Ansichten&lt;/h3&gt;&lt;ul&gt;&lt;li&gt;Ziehen mit links dreht das Modell, mit rechts verschiebt es; beide Tasten: die rechte hält die Drehung an, und die linke während eines Ziehens mit rechts bewegt die Kamera hinein und heraus.&lt;/li&gt;&lt;li&gt;&lt;b&gt;W&lt;/b&gt; Drahtgitter, &lt;b&gt;V&lt;/b&gt; Eckpunkte, &lt;b&gt;Umschalt+1&lt;/b&gt;-&lt;b&gt;Umschalt+5&lt;/b&gt; keine, flach, Gouraud, texturiert, texturiert und schattiert; &lt;b&gt;F&lt;/b&gt; zeichnet auch die Rückseiten; &lt;b&gt;F12&lt;/b&gt; speichert das Bild.&lt;/li&gt;&lt;li&gt;&lt;b&gt;R&lt;/b&gt; setzt die Kamera an ihren Anfang zurück.&lt;/li&gt;&lt;/ul&gt;&lt;h3&gt;Tasten&lt;/h3&gt;&lt;ul&gt;&lt;li&gt;&lt;b&gt;C&lt;/b&gt; nichts auswählen, &lt;b&gt;Umschalt+C&lt;/b&gt; alles auswählen, &lt;b&gt;I&lt;/b&gt; umkehren, &lt;b&gt;H&lt;/b&gt; die Auswahl ausblenden, &lt;b&gt;Umschalt+H&lt;/b&gt; alles zeigen; &lt;b&gt;X&lt;/b&gt; &lt;b&gt;Y&lt;/b&gt; &lt;b&gt;Z&lt;/b&gt; Achsensperren.&lt;/li&gt;&lt;li&gt;&lt;b&gt;Entf&lt;/b&gt; löscht die ausgewählten Dreiecke (in der Einzelbildliste: das Einzelbild), &lt;b&gt;Strg+F&lt;/b&gt; dreht sie um, &lt;b&gt;Strg+D&lt;/b&gt; klont sie.&lt;/li&gt;&lt;li&gt;&lt;b&gt;Alt+1&lt;/b&gt; Objekt-, &lt;b&gt;Alt+2&lt;/b&gt; Gruppen-, &lt;b&gt;Alt+3&lt;/b&gt; Dreiecks-, &lt;b&gt;Alt+4&lt;/b&gt; Eckpunktebene.&lt;/li&gt;&lt;li&gt;&lt;b&gt;Strg+C&lt;/b&gt;, &lt;b&gt;Strg+X&lt;/b&gt;, &lt;b&gt;Strg+V&lt;/b&gt;: die ausgewählten Dreiecke kopieren, ausschneiden und einfügen; &lt;b&gt;Strg+B&lt;/b&gt; fügt ein kopiertes Einzelbild als neues Einzelbild ein.&lt;/li&gt;&lt;li&gt;&lt;b&gt;Strg+Z&lt;/b&gt; rückgängig, &lt;b&gt;Strg+Y&lt;/b&gt; wiederholen; &lt;b&gt;F5&lt;/b&gt; zeigt oder verbirgt den Animationsspieler, &lt;b&gt;Strg+Leertaste&lt;/b&gt; spielt ihn ab oder hält ihn an, &lt;b&gt;[&lt;/b&gt; und &lt;b&gt;]&lt;/b&gt; gehen einen Schritt zurück und vor.&lt;/li&gt;&lt;li&gt;&lt;b&gt;Esc&lt;/b&gt; beendet die Vollbild-Vorschau der Animation.&lt;/li&gt;&lt;/ul&gt;</translation>
    </message>
</context>
<context>
    <name>faceto::InterpolateDialog</name>
    <message>
        <source>Interpolate</source>
        <translation>Zwischenbilder</translation>
    </message>
    <message>
        <source>&amp;Frames between:</source>
        <translation>&amp;Einzelbilder dazwischen:</translation>
    </message>
    <message>
        <source>F&amp;rom:</source>
        <translation>&amp;Von:</translation>
    </message>
    <message>
        <source>&amp;To:</source>
        <translation>&amp;Bis:</translation>
    </message>
</context>
<context>
    <name>faceto::ModelPropertiesDialog</name>
    <message>
        <source>Rocket trail</source>
        <translation>Raketenspur</translation>
    </message>
    <message>
        <source>Grenade smoke</source>
        <translation>Granatenrauch</translation>
    </message>
    <message>
        <source>Gib (blood trail)</source>
        <translation>Gib (Blutspur)</translation>
    </message>
    <message>
        <source>Rotate</source>
        <translation>Drehen</translation>
    </message>
    <message>
        <source>Tracer (green)</source>
        <translation>Leuchtspur (grün)</translation>
    </message>
    <message>
        <source>Zombie gib</source>
        <translation>Zombie-Gib</translation>
    </message>
    <message>
        <source>Tracer 2 (orange)</source>
        <translation>Leuchtspur 2 (orange)</translation>
    </message>
    <message>
        <source>Tracer 3 (purple)</source>
        <translation>Leuchtspur 3 (violett)</translation>
    </message>
    <message>
        <source>Model Properties</source>
        <translation>Modelleigenschaften</translation>
    </message>
    <message>
        <source>Quake (.mdl)</source>
        <translation>Quake (.mdl)</translation>
    </message>
    <message>
        <source>Animations of several copies:</source>
        <translation>Animationen mehrerer Exemplare:</translation>
    </message>
    <message>
        <source>start together</source>
        <translation>starten gemeinsam</translation>
    </message>
    <message>
        <source>start at random</source>
        <translation>starten zufällig</translation>
    </message>
    <message>
        <source>Sync type</source>
        <translation>Synchronisierung</translation>
    </message>
    <message>
        <source>Eye position:</source>
        <translation>Augenposition:</translation>
    </message>
    <message>
        <source>Eye %1</source>
        <translation>Auge %1</translation>
    </message>
    <message>
        <source>Skin size:</source>
        <translation>Skingröße:</translation>
    </message>
    <message>
        <source>%1 x %2 texels</source>
        <translation>%1 × %2 Texel</translation>
    </message>
    <message>
        <source>Quake 2 skin names (.md2)</source>
        <translation>Quake-2-Skin-Namen (.md2)</translation>
    </message>
    <message>
        <source>Skin names</source>
        <translation>Skin-Namen</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Up</source>
        <translation>Nach oben</translation>
    </message>
    <message>
        <source>Down</source>
        <translation>Nach unten</translation>
    </message>
</context>
<context>
    <name>faceto::MoveCornersDrag</name>
    <message>
        <source>Move Skin Coordinates</source>
        <translation>Skin-Koordinaten verschieben</translation>
    </message>
</context>
<context>
    <name>faceto::NameDialog</name>
    <message>
        <source>Name:</source>
        <translation>Name:</translation>
    </message>
</context>
<context>
    <name>faceto::QtDialogs</name>
    <message>
        <source>Save changes to %1?</source>
        <translation>Änderungen an %1 speichern?</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>Speichern unter</translation>
    </message>
    <message>
        <source>Choose a Folder</source>
        <translation>Einen Ordner wählen</translation>
    </message>
    <message>
        <source>Choose a File</source>
        <translation>Eine Datei wählen</translation>
    </message>
</context>
<context>
    <name>faceto::RotateCornersDrag</name>
    <message>
        <source>Rotate Skin Coordinates</source>
        <translation>Skin-Koordinaten drehen</translation>
    </message>
</context>
<context>
    <name>faceto::RotateDrag</name>
    <message>
        <source>Rotate Vertices</source>
        <translation>Eckpunkte drehen</translation>
    </message>
</context>
<context>
    <name>faceto::ScaleCornersDrag</name>
    <message>
        <source>Scale Skin Coordinates</source>
        <translation>Skin-Koordinaten skalieren</translation>
    </message>
</context>
<context>
    <name>faceto::ScaleDrag</name>
    <message>
        <source>Scale Vertices</source>
        <translation>Eckpunkte skalieren</translation>
    </message>
</context>
<context>
    <name>faceto::SkinSizeDialog</name>
    <message>
        <source>Width:</source>
        <translation>Breite:</translation>
    </message>
    <message>
        <source>Height:</source>
        <translation>Höhe:</translation>
    </message>
    <message>
        <source> texels</source>
        <translation> Texel</translation>
    </message>
</context>
<context>
    <name>faceto::TransformDialog</name>
    <message>
        <source>Transform</source>
        <translation>Transformieren</translation>
    </message>
    <message>
        <source>Scale</source>
        <translation>Skalieren</translation>
    </message>
    <message>
        <source>Turn (degrees)</source>
        <translation>Drehen (Grad)</translation>
    </message>
    <message>
        <source>Move (units)</source>
        <translation>Verschieben (Einheiten)</translation>
    </message>
    <message>
        <source>Scale alike on every axis</source>
        <translation>Auf jeder Achse gleich skalieren</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>the origin</source>
        <translation>der Ursprung</translation>
    </message>
    <message>
        <source>the centre of the model</source>
        <translation>die Mitte des Modells</translation>
    </message>
</context>
<context>
    <name>faceto::UnitsDialog</name>
    <message>
        <source>glTF and OBJ Units</source>
        <translation>glTF- und OBJ-Einheiten</translation>
    </message>
    <message>
        <source>Opening: model units per unit of the file (a file in metres: 32)</source>
        <translation>Beim Öffnen: Modelleinheiten je Einheit der Datei (eine Datei in Metern: 32)</translation>
    </message>
    <message>
        <source>Saving: units of the file per model unit (to metres: 0.03125)</source>
        <translation>Beim Speichern: Einheiten der Datei je Modelleinheit (in Meter: 0,03125)</translation>
    </message>
</context>
<context>
    <name>std</name>
    <message>
        <source>Error reading file.</source>
        <translation>Fehler beim Lesen der Datei.</translation>
    </message>
    <message>
        <source>Unsupported File type.</source>
        <translation>Nicht unterstützter Dateityp.</translation>
    </message>
    <message>
        <source>Error writing file.</source>
        <translation>Fehler beim Schreiben der Datei.</translation>
    </message>
    <message>
        <source>Couldn&apos;t write file</source>
        <translation>Datei konnte nicht geschrieben werden</translation>
    </message>
    <message>
        <source>The clipboard holds no frame: copy one in the frame list first.</source>
        <translation>Die Zwischenablage enthält kein Einzelbild: zuerst eines in der Einzelbildliste kopieren.</translation>
    </message>
    <message>
        <source>Paste as New Frame</source>
        <translation>Als neues Einzelbild einfügen</translation>
    </message>
    <message>
        <source>Choose the frame to paste after in the frame list first.</source>
        <translation>Zuerst in der Einzelbildliste das Einzelbild wählen, nach dem eingefügt wird.</translation>
    </message>
    <message>
        <source>Choose the frame to put the pose into first.</source>
        <translation>Zuerst das Einzelbild wählen, das die Pose aufnimmt.</translation>
    </message>
    <message>
        <source>The pose could not be read.</source>
        <translation>Die Pose konnte nicht gelesen werden.</translation>
    </message>
    <message>
        <source>Import Frame</source>
        <translation>Einzelbild importieren</translation>
    </message>
    <message>
        <source>No Rendering</source>
        <translation>Keine Darstellung</translation>
    </message>
    <message>
        <source>Wireframe</source>
        <translation>Drahtgitter</translation>
    </message>
    <message>
        <source>Vertex</source>
        <translation>Eckpunkte</translation>
    </message>
    <message>
        <source>Gouraud Shading</source>
        <translation>Gouraud-Schattierung</translation>
    </message>
    <message>
        <source>Texture Mapped</source>
        <translation>Texturiert</translation>
    </message>
    <message>
        <source>Textured and Shaded</source>
        <translation>Texturiert und schattiert</translation>
    </message>
    <message>
        <source>Flat Shading</source>
        <translation>Flache Schattierung</translation>
    </message>
    <message>
        <source>Camera (%1)</source>
        <translation>Kamera (%1)</translation>
    </message>
    <message>
        <source>Moving %1 vertices</source>
        <translation>%1 Eckpunkte werden verschoben</translation>
    </message>
    <message>
        <source>Selecting the vertices in a rectangle (%1)</source>
        <translation>Eckpunkte in einem Rechteck werden ausgewählt (%1)</translation>
    </message>
    <message>
        <source>Moving the view</source>
        <translation>Die Ansicht wird verschoben</translation>
    </message>
    <message>
        <source>Scaling %1 vertices</source>
        <translation>%1 Eckpunkte werden skaliert</translation>
    </message>
    <message>
        <source>Rotating %1 vertices by %2 degrees</source>
        <translation>%1 Eckpunkte werden um %2 Grad gedreht</translation>
    </message>
    <message>
        <source>Bottom</source>
        <translation>Unten</translation>
    </message>
    <message>
        <source>Top</source>
        <translation>Oben</translation>
    </message>
    <message>
        <source>Other Side</source>
        <translation>Andere Seite</translation>
    </message>
    <message>
        <source>Side</source>
        <translation>Seite</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Hinten</translation>
    </message>
    <message>
        <source>Front</source>
        <translation>Vorn</translation>
    </message>
    <message>
        <source>%1 (%2 right, %3 down)</source>
        <translation>%1 (%2 nach rechts, %3 nach unten)</translation>
    </message>
    <message>
        <source>%1 (%2 right, %3 up)</source>
        <translation>%1 (%2 nach rechts, %3 nach oben)</translation>
    </message>
    <message>
        <source>%1 (%2 left, %3 down)</source>
        <translation>%1 (%2 nach links, %3 nach unten)</translation>
    </message>
    <message>
        <source>%1 (%2 left, %3 up)</source>
        <translation>%1 (%2 nach links, %3 nach oben)</translation>
    </message>
    <message>
        <source>Choose at least two skins to group.</source>
        <translation>Wählen Sie mindestens zwei Skins zum Gruppieren.</translation>
    </message>
    <message>
        <source>Choose at least two frames to group.</source>
        <translation>Wählen Sie mindestens zwei Frames zum Gruppieren.</translation>
    </message>
    <message>
        <source>The intervals must be positive, each larger than the one before.</source>
        <translation>Die Intervalle müssen positiv sein, jedes größer als das vorige.</translation>
    </message>
    <message>
        <source>Skins of different sizes cannot be grouped: skin %1 is %2 x %3, skin %4 is %5 x %6.</source>
        <translation>Skins verschiedener Größe lassen sich nicht gruppieren: Skin %1 ist %2 x %3, Skin %4 ist %5 x %6.</translation>
    </message>
    <message>
        <source>The skins chosen cut through another group; ungroup it first.</source>
        <translation>Die gewählten Skins schneiden eine andere Gruppe; lösen Sie diese zuerst auf.</translation>
    </message>
    <message>
        <source>The frames chosen cut through another group; ungroup it first.</source>
        <translation>Die gewählten Frames schneiden eine andere Gruppe; lösen Sie diese zuerst auf.</translation>
    </message>
    <message>
        <source>Group Skins</source>
        <translation>Skins gruppieren</translation>
    </message>
    <message>
        <source>Group Frames</source>
        <translation>Frames gruppieren</translation>
    </message>
</context>
</TS>

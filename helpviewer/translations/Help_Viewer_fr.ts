<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>HelpBrowser</name>
    <message>
        <source>Page not found</source>
        <translation>Page introuvable</translation>
    </message>
    <message>
        <source>The help page &quot;%1&quot; does not exist.</source>
        <translation>La page d’aide « %1 » n’existe pas.</translation>
    </message>
    <message>
        <source>Go to the table of contents</source>
        <translation>Aller au sommaire</translation>
    </message>
</context>
<context>
    <name>HelpViewerWindow</name>
    <message>
        <source>Corvane Key Manager Help</source>
        <translation>Aide de Corvane Key Manager</translation>
    </message>
    <message>
        <source>Navigation</source>
        <translation>Navigation</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Précédent</translation>
    </message>
    <message>
        <source>Forward</source>
        <translation>Suivant</translation>
    </message>
    <message>
        <source>Contents</source>
        <translation>Sommaire</translation>
    </message>
</context>
</TS>

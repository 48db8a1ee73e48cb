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
        <translation>La page d’aide «&#xa0;%1&#xa0;» n’existe pas.</translation>
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
    <message>
        <source>Find</source>
        <translation>Rechercher</translation>
    </message>
    <message>
        <source>&amp;Find:</source>
        <translation>&amp;Rechercher :</translation>
    </message>
    <message>
        <source>Find in page</source>
        <translation>Rechercher dans la page</translation>
    </message>
    <message>
        <source>No matching text was found.</source>
        <translation>Aucun texte correspondant n’a été trouvé.</translation>
    </message>
    <message>
        <source>Previous</source>
        <translation>Résultat précédent</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>Résultat suivant</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
</context>
</TS>

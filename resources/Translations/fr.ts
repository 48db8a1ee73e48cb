<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr" sourcelanguage="en">
<context>
    <name>Device</name>
    <message>
        <source>No name defined</source>
        <translation>Aucun nom défini</translation>
    </message>
    <message>
        <source>No serial number</source>
        <translation>Aucun numéro de série</translation>
    </message>
</context>
<context>
    <name>FormContentEditor</name>
    <message>
        <source>Corvane Key Manager</source>
        <translation>Corvane Key Manager</translation>
    </message>
    <message>
        <source>Device</source>
        <translation>Appareil</translation>
    </message>
    <message>
        <source>Save changes to Corvane device</source>
        <translation>Enregistrer les modifications sur l’appareil Corvane</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Enregistrer</translation>
    </message>
    <message>
        <source>Tab</source>
        <translation>Onglet</translation>
    </message>
    <message>
        <source>Create a new tab</source>
        <translation>Créer un nouvel onglet</translation>
    </message>
    <message>
        <source>New</source>
        <translation>Nouveau</translation>
    </message>
    <message>
        <source>Rename the currently displayed tab</source>
        <translation>Renommer l’onglet affiché</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Renommer</translation>
    </message>
    <message>
        <source>Copy current tab content to a new tab</source>
        <translation>Copier le contenu de l’onglet courant dans un nouvel onglet</translation>
    </message>
    <message>
        <source>Duplicate</source>
        <translation>Dupliquer</translation>
    </message>
    <message>
        <source>Remove the currently displayed tab and all the passwords it contains</source>
        <translation>Supprimer l’onglet affiché et tous les mots de passe qu’il contient</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Supprimer</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Mot de passe</translation>
    </message>
    <message>
        <source>Create a new password record</source>
        <translation>Créer une fiche de mot de passe</translation>
    </message>
    <message>
        <source>Edit the currently selected password record</source>
        <translation>Modifier la fiche de mot de passe sélectionnée</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Modifier</translation>
    </message>
    <message>
        <source>Remove the currently selected password record</source>
        <translation>Supprimer la fiche de mot de passe sélectionnée</translation>
    </message>
    <message>
        <source>Clipboard</source>
        <translation>Presse-papiers</translation>
    </message>
    <message>
        <source>Clear clipboard content to clear any confidential data</source>
        <translation>Vider le presse-papiers pour effacer toute donnée confidentielle</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Effacer</translation>
    </message>
    <message>
        <source>Tabs</source>
        <translation>Onglets</translation>
    </message>
    <message>
        <source>Search:</source>
        <translation>Rechercher&#xa0;:</translation>
    </message>
    <message>
        <source>Search text</source>
        <translation>Texte à rechercher</translation>
    </message>
    <message>
        <source>Go to previous result</source>
        <translation>Aller au résultat précédent</translation>
    </message>
    <message>
        <source>Previous</source>
        <translation>Précédent</translation>
    </message>
    <message>
        <source>Go to next result</source>
        <translation>Aller au résultat suivant</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>Suivant</translation>
    </message>
    <message>
        <source>Search in all tabs</source>
        <translation>Rechercher dans tous les onglets</translation>
    </message>
    <message>
        <source>Used memory bytes</source>
        <translation>Mémoire utilisée</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Fichier</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Aide</translation>
    </message>
    <message>
        <source>Open Corvane...</source>
        <translation>Ouvrir Corvane...</translation>
    </message>
    <message>
        <source>Lock application</source>
        <translation>Verrouiller l’application</translation>
    </message>
    <message>
        <source>Ctrl+L</source>
        <translation>Ctrl+L</translation>
    </message>
    <message>
        <source>Import CSV file...</source>
        <translation>Importer un fichier CSV...</translation>
    </message>
    <message>
        <source>Export current tab as CSV...</source>
        <translation>Exporter l’onglet courant en CSV...</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Paramètres</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <source>Configure device...</source>
        <translation>Configurer l’appareil...</translation>
    </message>
    <message>
        <source>Show device information</source>
        <translation>Afficher les informations de l’appareil</translation>
    </message>
    <message>
        <source>Copy device...</source>
        <translation>Copier l’appareil...</translation>
    </message>
    <message>
        <source>Erase device...</source>
        <translation>Effacer l’appareil...</translation>
    </message>
    <message>
        <source>Corvane Key Manager Help</source>
        <translation>Aide de Corvane Key Manager</translation>
    </message>
    <message>
        <source>Corvane Key Manager website</source>
        <translation>Site web de Corvane Key Manager</translation>
    </message>
    <message>
        <source>Check for update</source>
        <translation>Rechercher une mise à jour</translation>
    </message>
    <message>
        <source>About</source>
        <translation>À propos</translation>
    </message>
    <message>
        <source>This page is not available in this build.</source>
        <translation>Cette page n’est pas disponible dans cette version.</translation>
    </message>
    <message>
        <source>Welcome!</source>
        <translation>Bienvenue&#xa0;!</translation>
    </message>
    <message>
        <source>Reading device memories...</source>
        <translation>Lecture des mémoires de l’appareil...</translation>
    </message>
    <message>
        <source>Writing device memories...</source>
        <translation>Écriture des mémoires de l’appareil...</translation>
    </message>
    <message>
        <source>Insert master password</source>
        <translation>Saisie du mot de passe maître</translation>
    </message>
    <message>
        <source>Detected devices</source>
        <translation>Appareils détectés</translation>
    </message>
    <message>
        <source>Corvane Key Manager license and news</source>
        <translation>Licence et nouveautés de Corvane Key Manager</translation>
    </message>
    <message>
        <source>Device information</source>
        <translation>Informations de l’appareil</translation>
    </message>
    <message>
        <source>Configure device</source>
        <translation>Configuration de l’appareil</translation>
    </message>
    <message>
        <source>Device erasing wizard</source>
        <translation>Assistant d’effacement d’appareil</translation>
    </message>
    <message>
        <source>Erasing confirmation</source>
        <translation>Confirmation de l’effacement</translation>
    </message>
    <message>
        <source>Successful erasure</source>
        <translation>Effacement réussi</translation>
    </message>
    <message>
        <source>Device copy wizard</source>
        <translation>Assistant de copie d’appareil</translation>
    </message>
    <message>
        <source>Read source device content</source>
        <translation>Lecture du contenu de l’appareil source</translation>
    </message>
    <message>
        <source>Write content to target device</source>
        <translation>Écriture du contenu sur l’appareil cible</translation>
    </message>
    <message>
        <source>Successful device duplication</source>
        <translation>Copie de l’appareil réussie</translation>
    </message>
    <message>
        <source>Application is locked</source>
        <translation>L’application est verrouillée</translation>
    </message>
    <message>
        <source>Import a CSV file</source>
        <translation>Importer un fichier CSV</translation>
    </message>
    <message>
        <source>Set/change the master password then save</source>
        <translation>Définir/changer le mot de passe maître puis enregistrer</translation>
    </message>
    <message>
        <source>Corvane Key Manager [unsaved data]</source>
        <translation>Corvane Key Manager [données non enregistrées]</translation>
    </message>
    <message>
        <source>Available memory: %1%</source>
        <translation>Mémoire disponible&#xa0;: %1&#xa0;%</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Avertissement</translation>
    </message>
    <message>
        <source>You are currently in a subview of the application.
Use the buttons at the bottom of the view to exit.</source>
        <translation>Vous êtes sur une page secondaire de l’application.
Utilisez les boutons en bas de la page pour en sortir.</translation>
    </message>
    <message>
        <source>You did not write your modifications to the device.
Do you really want to quit?</source>
        <translation>Vous n’avez pas écrit vos modifications sur l’appareil.
Voulez-vous vraiment quitter&#xa0;?</translation>
    </message>
    <message>
        <source>Opening a device</source>
        <translation>Ouverture d’un appareil</translation>
    </message>
    <message>
        <source>Opening a device is not available in this build.</source>
        <translation>L’ouverture d’un appareil n’est pas disponible dans cette version.</translation>
    </message>
    <message>
        <source>New password</source>
        <translation>Nouveau mot de passe</translation>
    </message>
    <message>
        <source>Edit password</source>
        <translation>Modifier le mot de passe</translation>
    </message>
    <message>
        <source>Remove password</source>
        <translation>Supprimer le mot de passe</translation>
    </message>
    <message>
        <source>Do you really want to remove the password called &apos;%1&apos;?</source>
        <translation>Voulez-vous vraiment supprimer le mot de passe «&#xa0;%1&#xa0;»&#xa0;?</translation>
    </message>
    <message>
        <source>Insert tab name</source>
        <translation>Saisie du nom de l’onglet</translation>
    </message>
    <message>
        <source>Enter the tab name:</source>
        <translation>Saisissez le nom de l’onglet&#xa0;:</translation>
    </message>
    <message>
        <source>New tab</source>
        <translation>Nouvel onglet</translation>
    </message>
    <message>
        <source>Insert new name</source>
        <translation>Saisie du nouveau nom</translation>
    </message>
    <message>
        <source>New tab name:</source>
        <translation>Nouveau nom de l’onglet&#xa0;:</translation>
    </message>
    <message>
        <source> - Copy</source>
        <translation> - Copie</translation>
    </message>
    <message>
        <source>Remove tab</source>
        <translation>Supprimer l’onglet</translation>
    </message>
    <message>
        <source>Do you really want to remove the tab called &apos;%1&apos; and all its content?</source>
        <translation>Voulez-vous vraiment supprimer l’onglet «&#xa0;%1&#xa0;» et tout son contenu&#xa0;?</translation>
    </message>
    <message>
        <source>Text search</source>
        <translation>Recherche de texte</translation>
    </message>
    <message>
        <source>No matching text was found.</source>
        <translation>Aucun texte correspondant n’a été trouvé.</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Erreur</translation>
    </message>
    <message>
        <source>Could not open the file &apos;%1&apos; in read mode (%2).</source>
        <translation>Impossible d’ouvrir le fichier «&#xa0;%1&#xa0;» en lecture (%2).</translation>
    </message>
    <message>
        <source>the column titles of the first line could not be read</source>
        <translation>les titres des colonnes de la première ligne n’ont pas pu être lus</translation>
    </message>
    <message>
        <source>Could not import the CSV file &apos;%1&apos; (%2).</source>
        <translation>Impossible d’importer le fichier CSV «&#xa0;%1&#xa0;» (%2).</translation>
    </message>
    <message>
        <source>CSV data were successfully imported.</source>
        <translation>Les données CSV ont été importées avec succès.</translation>
    </message>
    <message>
        <source>Control characters that a vault cannot store (U+0000, U+0003 and U+0004) were removed from the imported texts: %1.</source>
        <translation>Les caractères de contrôle qu’un coffre ne peut pas stocker (U+0000, U+0003 et U+0004) ont été retirés des textes importés&#xa0;: %1.</translation>
    </message>
    <message>
        <source>Success</source>
        <comment>CSV file importation</comment>
        <translation>Importation réussie</translation>
    </message>
    <message>
        <source>Export a CSV file</source>
        <translation>Exporter un fichier CSV</translation>
    </message>
    <message>
        <source>Could not export the CSV file &apos;%1&apos; (%2).</source>
        <translation>Impossible d’exporter le fichier CSV «&#xa0;%1&#xa0;» (%2).</translation>
    </message>
    <message>
        <source>Success</source>
        <comment>CSV file exportation</comment>
        <translation>Exportation réussie</translation>
    </message>
    <message>
        <source>The current tab passwords were successfully exported to a CSV file.</source>
        <translation>Les mots de passe de l’onglet courant ont été exportés avec succès dans un fichier CSV.</translation>
    </message>
    <message>
        <source>Searching for an update</source>
        <translation>Recherche d’une mise à jour</translation>
    </message>
    <message>
        <source>Searching for an update on the server...
This operation will take less than 5 seconds.</source>
        <translation>Recherche d’une mise à jour sur le serveur...
Cette opération prendra moins de 5 secondes.</translation>
    </message>
    <message>
        <source>Update check</source>
        <translation>Recherche de mise à jour</translation>
    </message>
    <message>
        <source>Failed to retrieve the update information from the server.
Please check your network configuration and retry.</source>
        <translation>Impossible d’obtenir les informations de mise à jour depuis le serveur.
Veuillez vérifier votre configuration réseau et réessayer.</translation>
    </message>
    <message>
        <source>Update available</source>
        <translation>Mise à jour disponible</translation>
    </message>
    <message>
        <source>A program update is available (the new version is %1, you are currently using the version %2).
Do you want to download it from the website?</source>
        <translation>Une mise à jour du programme est disponible (la nouvelle version est la %1, vous utilisez actuellement la version %2).
Voulez-vous la télécharger depuis le site web&#xa0;?</translation>
    </message>
    <message>
        <source>Could not open the download page in a web browser.
You can open %1 yourself.</source>
        <translation>Impossible d’ouvrir la page de téléchargement dans un navigateur web.
Vous pouvez ouvrir %1 vous-même.</translation>
    </message>
    <message>
        <source>No update found</source>
        <translation>Aucune mise à jour</translation>
    </message>
    <message>
        <source>No update is available, you are using the latest version.</source>
        <translation>Aucune mise à jour n’est disponible, vous utilisez la dernière version.</translation>
    </message>
</context>
<context>
    <name>PasswordTable</name>
    <message>
        <source>Name</source>
        <translation>Nom</translation>
    </message>
    <message>
        <source>ID / Login / Email</source>
        <translation>Identifiant / Login / E-mail</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Mot de passe</translation>
    </message>
    <message>
        <source>Web site / URL</source>
        <translation>Site web / URL</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>Note</translation>
    </message>
    <message>
        <source>Copy to clipboard</source>
        <translation>Copier dans le presse-papiers</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Modifier</translation>
    </message>
    <message>
        <source>Duplicate row into tab...</source>
        <translation>Dupliquer la ligne dans l’onglet...</translation>
    </message>
    <message>
        <source>Move row to tab...</source>
        <translation>Déplacer la ligne vers l’onglet...</translation>
    </message>
</context>
<context>
    <name>PasswordTablePasswordItem</name>
    <message>
        <source>Password</source>
        <translation>Mot de passe</translation>
    </message>
    <message>
        <source>Password shown</source>
        <translation>Mot de passe affiché</translation>
    </message>
    <message>
        <source>Hide password</source>
        <translation>Masquer le mot de passe</translation>
    </message>
    <message>
        <source>Password hidden</source>
        <translation>Mot de passe masqué</translation>
    </message>
    <message>
        <source>Show password</source>
        <translation>Afficher le mot de passe</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>The file ends inside a quoted field that starts on line %1: its closing double quote is missing.</source>
        <translation>Le fichier se termine dans un champ entre guillemets commencé à la ligne %1&#xa0;: le guillemet fermant est absent.</translation>
    </message>
    <message>
        <source>No name provided %1</source>
        <translation>Aucun nom fourni %1</translation>
    </message>
    <message>
        <source>File size is too small to contain meaningful data.</source>
        <translation>La taille du fichier est trop petite pour contenir des données exploitables.</translation>
    </message>
    <message>
        <source>The file changed while it was being read.</source>
        <translation>Le fichier a été modifié pendant sa lecture.</translation>
    </message>
    <message>
        <source>very weak</source>
        <translation>très faible</translation>
    </message>
    <message>
        <source>weak</source>
        <translation>faible</translation>
    </message>
    <message>
        <source>average</source>
        <translation>moyen</translation>
    </message>
    <message>
        <source>good</source>
        <translation>bon</translation>
    </message>
    <message>
        <source>excellent</source>
        <translation>excellent</translation>
    </message>
</context>
<context>
    <name>ViewContentApplicationLocked</name>
    <message>
        <source>Padlock</source>
        <translation>Cadenas</translation>
    </message>
    <message>
        <source>Insert password:</source>
        <translation>Saisissez le mot de passe&#xa0;:</translation>
    </message>
    <message>
        <source>Master password</source>
        <translation>Mot de passe maître</translation>
    </message>
    <message>
        <source>Show</source>
        <translation>Afficher</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <source>Unlock</source>
        <translation>Déverrouiller</translation>
    </message>
    <message>
        <source>You can configure or disable the application auto locking feature from the Settings menu.</source>
        <translation>Vous pouvez régler ou désactiver le verrouillage automatique de l’application dans Fichier &gt; Paramètres.</translation>
    </message>
    <message>
        <source>Hide</source>
        <translation>Masquer</translation>
    </message>
    <message>
        <source>Wrong master password</source>
        <translation>Mot de passe maître incorrect</translation>
    </message>
    <message>
        <source>Wrong master password, please retry.
You can also quit the application.</source>
        <translation>Mot de passe maître incorrect, veuillez réessayer.
Vous pouvez aussi quitter l’application.</translation>
    </message>
</context>
<context>
    <name>ViewContentImportCSVFile</name>
    <message>
        <source>CSV file to import</source>
        <translation>Fichier CSV à importer</translation>
    </message>
    <message>
        <source>Select file...</source>
        <translation>Sélectionner un fichier...</translation>
    </message>
    <message>
        <source>Select the CSV file to import</source>
        <translation>Sélectionner le fichier CSV à importer</translation>
    </message>
    <message>
        <source>No file selected.</source>
        <translation>Aucun fichier sélectionné.</translation>
    </message>
    <message>
        <source>Selected file</source>
        <translation>Fichier sélectionné</translation>
    </message>
    <message>
        <source>CSV file settings</source>
        <translation>Paramètres du fichier CSV</translation>
    </message>
    <message>
        <source>Fields separator:</source>
        <translation>Séparateur de champs&#xa0;:</translation>
    </message>
    <message>
        <source>Fields separator</source>
        <translation>Séparateur de champs</translation>
    </message>
    <message>
        <source>File format:</source>
        <translation>Format du fichier&#xa0;:</translation>
    </message>
    <message>
        <source>File format</source>
        <translation>Format du fichier</translation>
    </message>
    <message>
        <source>Destination tab</source>
        <translation>Onglet de destination</translation>
    </message>
    <message>
        <source>Create a new tab</source>
        <translation>Créer un nouvel onglet</translation>
    </message>
    <message>
        <source>New tab name:</source>
        <translation>Nom du nouvel onglet&#xa0;:</translation>
    </message>
    <message>
        <source>Please insert a name</source>
        <translation>Veuillez saisir un nom</translation>
    </message>
    <message>
        <source>New tab name</source>
        <translation>Nom du nouvel onglet</translation>
    </message>
    <message>
        <source>Import to an existing tab</source>
        <translation>Importer dans un onglet existant</translation>
    </message>
    <message>
        <source>Select tab:</source>
        <translation>Choisir l’onglet&#xa0;:</translation>
    </message>
    <message>
        <source>Existing tab</source>
        <translation>Onglet existant</translation>
    </message>
    <message>
        <source>Yet-existing passwords with the same name will be replaced by the ones from the CSV file. Otherwise, if this checkbox is not checked, all imported passwords will be added to the tab without removing old occurrences.</source>
        <translation>Les mots de passe existants portant le même nom seront remplacés par ceux du fichier CSV. Si cette case n’est pas cochée, tous les mots de passe importés sont ajoutés à l’onglet sans supprimer les anciens.</translation>
    </message>
    <message>
        <source>Update existing passwords with imported ones</source>
        <translation>Mettre à jour les mots de passe existants avec ceux importés</translation>
    </message>
    <message>
        <source>&lt;a href=&quot;import_csv_file.html&quot;&gt;How to import a CSV file?&lt;/a&gt;</source>
        <translation>&lt;a href=&quot;import_csv_file.html&quot;&gt;Comment importer un fichier CSV&#xa0;?&lt;/a&gt;</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Comma (,)</source>
        <translation>Virgule (,)</translation>
    </message>
    <message>
        <source>Semicolon (;)</source>
        <translation>Point-virgule (;)</translation>
    </message>
    <message>
        <source>Tab</source>
        <translation>Tabulation</translation>
    </message>
    <message>
        <source>Space</source>
        <translation>Espace</translation>
    </message>
    <message>
        <source>Corvane format (fixed columns order without a header)</source>
        <translation>Format Corvane (ordre des colonnes fixe, sans en-tête)</translation>
    </message>
    <message>
        <source>Auto detect the header</source>
        <translation>Détecter automatiquement l’en-tête</translation>
    </message>
    <message>
        <source>Import a CSV file</source>
        <translation>Importer un fichier CSV</translation>
    </message>
</context>
<context>
    <name>ViewContentLineInputDialog</name>
    <message>
        <source>&lt;No text provided&gt;</source>
        <translation>&lt;Aucun texte fourni&gt;</translation>
    </message>
    <message>
        <source>Text to enter</source>
        <translation>Texte à saisir</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
</context>
<context>
    <name>ViewContentMessageBoxDialog</name>
    <message>
        <source>Message icon</source>
        <translation>Icône du message</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>Texte</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>Message</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Oui</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Non</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
</context>
<context>
    <name>ViewContentPasswordInformation</name>
    <message>
        <source>Name:</source>
        <translation>Nom&#xa0;:</translation>
    </message>
    <message>
        <source>This field must not be empty</source>
        <translation>Ce champ ne doit pas être vide</translation>
    </message>
    <message>
        <source>ID / Login / Email:</source>
        <translation>Identifiant / Login / E-mail&#xa0;:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Mot de passe&#xa0;:</translation>
    </message>
    <message>
        <source>Show</source>
        <translation>Afficher</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Copier</translation>
    </message>
    <message>
        <source>Copy the password to the clipboard</source>
        <translation>Copier le mot de passe dans le presse-papiers</translation>
    </message>
    <message>
        <source>Password generation</source>
        <translation>Génération de mot de passe</translation>
    </message>
    <message>
        <source>Mode:</source>
        <translation>Mode&#xa0;:</translation>
    </message>
    <message>
        <source>Characters count:</source>
        <translation>Nombre de caractères&#xa0;:</translation>
    </message>
    <message>
        <source>Contain lowercase letters</source>
        <translation>Contient des lettres minuscules</translation>
    </message>
    <message>
        <source>Contain uppercase letters</source>
        <translation>Contient des lettres majuscules</translation>
    </message>
    <message>
        <source>Contain digits</source>
        <translation>Contient des chiffres</translation>
    </message>
    <message>
        <source>Contain symbols</source>
        <translation>Contient des symboles</translation>
    </message>
    <message>
        <source>Generate</source>
        <translation>Générer</translation>
    </message>
    <message>
        <source>&lt;a href=&quot;advanced_password_generation.html&quot;&gt;Help&lt;/a&gt;</source>
        <translation>&lt;a href=&quot;advanced_password_generation.html&quot;&gt;Aide&lt;/a&gt;</translation>
    </message>
    <message>
        <source>Show the help about password generation</source>
        <translation>Afficher l’aide sur la génération de mots de passe</translation>
    </message>
    <message>
        <source>Web site / URL:</source>
        <translation>Site web / URL&#xa0;:</translation>
    </message>
    <message>
        <source>Note:</source>
        <translation>Note&#xa0;:</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Enregistrer</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Auto</source>
        <comment>Password generation mode</comment>
        <translation>Auto</translation>
    </message>
    <message>
        <source>Advanced</source>
        <comment>Password generation mode</comment>
        <translation>Avancé</translation>
    </message>
    <message>
        <source>Hide</source>
        <translation>Masquer</translation>
    </message>
    <message>
        <source>Characters count: %1</source>
        <translation>Nombre de caractères&#xa0;: %1</translation>
    </message>
</context>
<context>
    <name>ViewContentSettings</name>
    <message>
        <source>Application update</source>
        <translation>Mise à jour de l’application</translation>
    </message>
    <message>
        <source>Check for a newer application version on start</source>
        <translation>Rechercher une nouvelle version de l’application au démarrage</translation>
    </message>
    <message>
        <source>Application auto locking</source>
        <translation>Verrouillage automatique de l’application</translation>
    </message>
    <message>
        <source>Automatically lock the application when the user is inactive for a while</source>
        <translation>Verrouiller automatiquement l’application après une période d’inactivité</translation>
    </message>
    <message>
        <source>Delay before locking (in minutes):</source>
        <translation>Délai avant verrouillage (en minutes)&#xa0;:</translation>
    </message>
    <message>
        <source>Screenshot protection</source>
        <translation>Protection contre les captures d’écran</translation>
    </message>
    <message>
        <source>Allow taking screenshots of the application displayed content</source>
        <translation>Autoriser les captures d’écran du contenu affiché par l’application</translation>
    </message>
    <message>
        <source>Screen capture cannot be blocked on this system.</source>
        <translation>Les captures d’écran ne peuvent pas être bloquées sur ce système.</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Enregistrer</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
</context>
<context>
    <name>ViewContentStartMenu</name>
    <message>
        <source>Corvane logo</source>
        <translation>Logo Corvane</translation>
    </message>
    <message>
        <source>Open Corvane</source>
        <translation>Ouvrir Corvane</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <source>Got a new Corvane?</source>
        <translation>Vous avez un nouveau Corvane&#xa0;?</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;a href=&quot;getting_started_description.html&quot;&gt;&lt;span style=&quot; text-decoration: underline; color:#1a5fb4;&quot;&gt;Open the Getting started tutorial&lt;/span&gt;&lt;/a&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;a href=&quot;getting_started_description.html&quot;&gt;&lt;span style=&quot; text-decoration: underline; color:#1a5fb4;&quot;&gt;Ouvrez le tutoriel Bien démarrer&lt;/span&gt;&lt;/a&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Open the Getting started tutorial</source>
        <translation>Ouvrez le tutoriel Bien démarrer</translation>
    </message>
    <message>
        <source>then</source>
        <translation>puis</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;a href=&quot;unused_link&quot;&gt;&lt;span style=&quot; text-decoration: underline; color:#1a5fb4;&quot;&gt;start initializing your Corvane&lt;/span&gt;&lt;/a&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;a href=&quot;unused_link&quot;&gt;&lt;span style=&quot; text-decoration: underline; color:#1a5fb4;&quot;&gt;commencez l’initialisation de votre Corvane&lt;/span&gt;&lt;/a&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Start initializing your Corvane</source>
        <translation>Commencer l’initialisation de votre Corvane</translation>
    </message>
</context>
</TS>

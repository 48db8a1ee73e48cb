<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr" sourcelanguage="en">
<context>
    <name>BackUpDeviceWorkflow</name>
    <message>
        <source>Could not save the backup file &apos;%1&apos; (%2).</source>
        <translation>Impossible d’enregistrer le fichier de sauvegarde «&#xa0;%1&#xa0;» (%2).</translation>
    </message>
    <message>
        <source>Backup saved</source>
        <translation>Sauvegarde enregistrée</translation>
    </message>
    <message>
        <source>The device &apos;%1&apos; was backed up to &apos;%2&apos;.
The file stays encrypted: restoring it needs the device&apos;s master password.</source>
        <translation>L’appareil «&#xa0;%1&#xa0;» a été sauvegardé dans «&#xa0;%2&#xa0;».
Le fichier reste chiffré&#xa0;: sa restauration demande le mot de passe maître de l’appareil.</translation>
    </message>
</context>
<context>
    <name>ConfigureDeviceWorkflow</name>
    <message>
        <source>Could not retrieve the device backup disable flag.</source>
        <translation>Impossible de lire l’indicateur de désactivation de sauvegarde de l’appareil.</translation>
    </message>
    <message>
        <source>Device access error</source>
        <translation>Erreur d’accès à l’appareil</translation>
    </message>
</context>
<context>
    <name>CopyDeviceWorkflow</name>
    <message>
        <source>The source device content is no longer available. Please read the source device again.</source>
        <translation>Le contenu de l’appareil source n’est plus disponible. Veuillez relire l’appareil source.</translation>
    </message>
    <message>
        <source>Could not retrieve the device backup disable flag.</source>
        <translation>Impossible de lire l’indicateur de désactivation de sauvegarde de l’appareil.</translation>
    </message>
    <message>
        <source>Device access error</source>
        <translation>Erreur d’accès à l’appareil</translation>
    </message>
    <message>
        <source>Device backup disabled</source>
        <translation>Sauvegarde désactivée sur l’appareil</translation>
    </message>
    <message>
        <source>The selected target device can&apos;t be used as backup.
This feature can be configured through the device configuration menu of the application.

Please insert another target device or enable the backup feature on the current target device.</source>
        <translation>L’appareil cible sélectionné ne peut pas servir de sauvegarde.
Ce réglage se modifie dans la configuration de l’appareil, depuis le menu Appareil de l’application.

Veuillez brancher un autre appareil cible ou autoriser la sauvegarde sur l’appareil cible actuel.</translation>
    </message>
    <message>
        <source>Confirmation</source>
        <translation>Confirmation</translation>
    </message>
    <message>
        <source>Failed to encrypt data, aborting.</source>
        <translation>Échec du chiffrement des données, abandon.</translation>
    </message>
    <message>
        <source>identical</source>
        <comment>master password for device copy wizard</comment>
        <translation>identiques</translation>
    </message>
    <message>
        <source>different</source>
        <comment>master password for device copy wizard</comment>
        <translation>différents</translation>
    </message>
    <message>
        <source>Please confirm the device duplication settings.&lt;br /&gt;&lt;br /&gt;Source device name: &lt;b&gt;%1&lt;/b&gt; (serial number %2)&lt;br /&gt;Target device name: &lt;b&gt;%3&lt;/b&gt; (serial number %4)&lt;br /&gt;Source and target devices master password are &lt;b&gt;%5&lt;/b&gt;.</source>
        <translation>Veuillez confirmer les paramètres de la copie d’appareil.&lt;br /&gt;&lt;br /&gt;Nom de l’appareil source&#xa0;: &lt;b&gt;%1&lt;/b&gt; (numéro de série %2)&lt;br /&gt;Nom de l’appareil cible&#xa0;: &lt;b&gt;%3&lt;/b&gt; (numéro de série %4)&lt;br /&gt;Les mots de passe maîtres des appareils source et cible sont &lt;b&gt;%5&lt;/b&gt;.</translation>
    </message>
    <message>
        <source>&lt;b&gt;The source and the target are the same device:&lt;/b&gt; its content will be written back onto it.</source>
        <translation>&lt;b&gt;La source et la cible sont le même appareil&#xa0;:&lt;/b&gt; son contenu y sera réécrit.</translation>
    </message>
    <message>
        <source>Do you want to continue?</source>
        <translation>Voulez-vous continuer&#xa0;?</translation>
    </message>
</context>
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
    <message>
        <source>the device is in use by another program</source>
        <translation>l’appareil est utilisé par un autre programme</translation>
    </message>
    <message>
        <source>access to the device&apos;s serial port was denied</source>
        <translation>l’accès au port série de l’appareil a été refusé</translation>
    </message>
    <message>
        <source>the device keeps sending data that nobody asked for</source>
        <translation>l’appareil envoie sans cesse des données que personne n’a demandées</translation>
    </message>
    <message>
        <source>the device does not answer properly (its reply is not valid)</source>
        <translation>l’appareil ne répond pas correctement (sa réponse n’est pas valide)</translation>
    </message>
    <message>
        <source>the device refused the command</source>
        <translation>l’appareil a refusé la commande</translation>
    </message>
    <message>
        <source>the device did not answer</source>
        <translation>l’appareil n’a pas répondu</translation>
    </message>
    <message>
        <source>the device stopped answering after %1 of %2 bytes</source>
        <translation>l’appareil a cessé de répondre après %1 octets sur %2</translation>
    </message>
    <message>
        <source>the device answered too slowly (%1 of %2 bytes)</source>
        <translation>l’appareil a répondu trop lentement (%1 octets sur %2)</translation>
    </message>
    <message>
        <source>the port failed (was the device unplugged?)</source>
        <translation>le port a cessé de fonctionner (l’appareil a-t-il été débranché&#xa0;?)</translation>
    </message>
</context>
<context>
    <name>DeviceBackupRecord</name>
    <message>
        <source>This device has changes that no backup holds yet: consider Device &gt; Back up device to file.</source>
        <translation>Cet appareil contient des modifications qu’aucune sauvegarde ne contient encore&#xa0;: pensez à Appareil &gt; Sauvegarder l’appareil dans un fichier.</translation>
    </message>
</context>
<context>
    <name>DeviceFailureText</name>
    <message>
        <source>no device is open</source>
        <translation>aucun appareil n’est ouvert</translation>
    </message>
    <message>
        <source>the port failed (was the device unplugged?)</source>
        <translation>le port a échoué (l’appareil a-t-il été débranché&#xa0;?)</translation>
    </message>
    <message>
        <source>the device did not answer</source>
        <translation>l’appareil n’a pas répondu</translation>
    </message>
    <message>
        <source>the device stopped answering after %1 of %2 bytes</source>
        <translation>l’appareil a cessé de répondre après %1 octets sur %2</translation>
    </message>
    <message>
        <source>the device answered too slowly (%1 of %2 bytes)</source>
        <translation>l’appareil a répondu trop lentement (%1 octets sur %2)</translation>
    </message>
    <message>
        <source>the device refused the command</source>
        <translation>l’appareil a refusé la commande</translation>
    </message>
    <message>
        <source>the device keeps sending data that nobody asked for</source>
        <translation>l’appareil envoie sans cesse des données que personne n’a demandées</translation>
    </message>
    <message>
        <source>the device gave an incomplete answer</source>
        <translation>l’appareil a donné une réponse incomplète</translation>
    </message>
    <message>
        <source>the main memory does not hold what was written</source>
        <translation>la mémoire principale ne contient pas ce qui a été écrit</translation>
    </message>
    <message>
        <source>the backup memory does not hold what was written</source>
        <translation>la mémoire de secours ne contient pas ce qui a été écrit</translation>
    </message>
    <message>
        <source>no permission to use the port</source>
        <translation>pas d’autorisation d’utiliser le port</translation>
    </message>
    <message>
        <source>the port is in use by another program</source>
        <translation>le port est utilisé par un autre programme</translation>
    </message>
    <message>
        <source>the port is gone</source>
        <translation>le port a disparu</translation>
    </message>
    <message>
        <source>setting the LED</source>
        <translation>réglage du voyant</translation>
    </message>
    <message>
        <source>selecting the main memory</source>
        <translation>sélection de la mémoire principale</translation>
    </message>
    <message>
        <source>selecting the backup memory</source>
        <translation>sélection de la mémoire de secours</translation>
    </message>
    <message>
        <source>writing block %1 of the backup memory</source>
        <translation>écriture du bloc %1 de la mémoire de secours</translation>
    </message>
    <message>
        <source>writing block %1 of the main memory</source>
        <translation>écriture du bloc %1 de la mémoire principale</translation>
    </message>
    <message>
        <source>reading the main memory</source>
        <translation>lecture de la mémoire principale</translation>
    </message>
    <message>
        <source>reading the backup memory</source>
        <translation>lecture de la mémoire de secours</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <comment>failed operation: problem</comment>
        <translation>%1&#xa0;: %2</translation>
    </message>
    <message>
        <source>%1
(%2)</source>
        <comment>message, then its cause</comment>
        <translation>%1
(%2)</translation>
    </message>
    <message>
        <source>Could not open the connected device.</source>
        <translation>Impossible d’ouvrir l’appareil connecté.</translation>
    </message>
    <message>
        <source>Access to the device&apos;s serial port was denied. Install the udev rule shipped with the application, or add your user to the &quot;dialout&quot; group and log in again.</source>
        <translation>L’accès au port série de l’appareil a été refusé. Installez la règle udev fournie avec l’application, ou ajoutez votre utilisateur au groupe «&#xa0;dialout&#xa0;» puis rouvrez votre session.</translation>
    </message>
    <message>
        <source>Could not make the device LED blink, aborting.</source>
        <translation>Impossible de faire clignoter le voyant de l’appareil, abandon.</translation>
    </message>
    <message>
        <source>Could not read the device main memory, aborting.</source>
        <translation>Impossible de lire la mémoire principale de l’appareil, abandon.</translation>
    </message>
    <message>
        <source>Could not read the device backup memory, aborting.</source>
        <translation>Impossible de lire la mémoire de secours de l’appareil, abandon.</translation>
    </message>
    <message>
        <source>Could not stop device led from blinking, aborting.</source>
        <translation>Impossible d’arrêter le clignotement du voyant de l’appareil, abandon.</translation>
    </message>
    <message>
        <source>Could not stop the device LED from blinking, aborting.</source>
        <translation>Impossible d’arrêter le clignotement du voyant de l’appareil, abandon.</translation>
    </message>
    <message>
        <source>Could not configure the access to the main memory, aborting.</source>
        <translation>Impossible de configurer l’accès à la mémoire principale, abandon.</translation>
    </message>
    <message>
        <source>Could not configure the access to the backup memory, aborting.</source>
        <translation>Impossible de configurer l’accès à la mémoire de secours, abandon.</translation>
    </message>
    <message>
        <source>Could not write data to the main memory, aborting.</source>
        <translation>Impossible d’écrire les données dans la mémoire principale, abandon.</translation>
    </message>
    <message>
        <source>Could not write data to the backup memory, aborting.</source>
        <translation>Impossible d’écrire les données dans la mémoire de secours, abandon.</translation>
    </message>
    <message>
        <source>Data could not be successfully written. Please retry.
Consider changing the device if this error is still occurring.</source>
        <translation>Les données n’ont pas pu être écrites correctement. Veuillez réessayer.
Si l’erreur persiste, envisagez de changer d’appareil.</translation>
    </message>
    <message>
        <source>Write error</source>
        <translation>Erreur d’écriture</translation>
    </message>
    <message>
        <source>the device does not answer properly (its reply is not valid)</source>
        <translation>l’appareil ne répond pas correctement (sa réponse n’est pas valide)</translation>
    </message>
</context>
<context>
    <name>DeviceWorkflow</name>
    <message>
        <source>Warning</source>
        <translation>Avertissement</translation>
    </message>
    <message>
        <source>Device main and backup memories do not have the same content. This is likely due to a power outage during previous device writing.
Do you want to display the main memory content?

Select &apos;Yes&apos; to try with main memory or &apos;No&apos; to try with backup memory.
If the memory you selected does not contain the expected data, re-read the device then try the other memory.</source>
        <translation>Les mémoires principale et de secours de l’appareil n’ont pas le même contenu, probablement à cause d’une coupure pendant un enregistrement précédent.
Voulez-vous afficher le contenu de la mémoire principale&#xa0;?

Choisissez «&#xa0;Oui&#xa0;» pour essayer la mémoire principale ou «&#xa0;Non&#xa0;» pour essayer la mémoire de secours.
Si la mémoire choisie ne contient pas les données attendues, ouvrez de nouveau l’appareil et essayez l’autre mémoire.</translation>
    </message>
    <message>
        <source>The data on this device were modified outside Corvane Key Manager. Open them anyway?</source>
        <translation>Les données de cet appareil ont été modifiées en dehors de Corvane Key Manager. Les ouvrir quand même&#xa0;?</translation>
    </message>
    <message>
        <source>Failed to decrypt data, aborting.</source>
        <translation>Échec du déchiffrement des données, abandon.</translation>
    </message>
    <message>
        <source>Failed to decrypt data. Make sure you provided the correct password.</source>
        <translation>Échec du déchiffrement des données. Vérifiez que vous avez saisi le bon mot de passe.</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Erreur</translation>
    </message>
    <message>
        <source>The main memory holds the newer vault.</source>
        <translation>La mémoire principale contient le coffre le plus récent.</translation>
    </message>
    <message>
        <source>The backup memory holds the newer vault.</source>
        <translation>La mémoire de secours contient le coffre le plus récent.</translation>
    </message>
    <message>
        <source>This device holds an older vault than the one saved from this computer on %1. Open it anyway?</source>
        <translation>Cet appareil contient un coffre plus ancien que celui enregistré depuis cet ordinateur le %1. L’ouvrir quand même&#xa0;?</translation>
    </message>
</context>
<context>
    <name>EraseDeviceWorkflow</name>
    <message>
        <source>Could not write the device name.</source>
        <translation>Impossible d’écrire le nom de l’appareil.</translation>
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
        <source>Tab</source>
        <translation>Onglet</translation>
    </message>
    <message>
        <source>Create a new tab</source>
        <translation>Créer un nouvel onglet</translation>
    </message>
    <message>
        <source>Rename the currently displayed tab</source>
        <translation>Renommer l’onglet affiché</translation>
    </message>
    <message>
        <source>Copy current tab content to a new tab</source>
        <translation>Copier le contenu de l’onglet courant dans un nouvel onglet</translation>
    </message>
    <message>
        <source>Remove the currently displayed tab and all the passwords it contains</source>
        <translation>Supprimer l’onglet affiché et tous les mots de passe qu’il contient</translation>
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
        <source>Tabs</source>
        <translation>Onglets</translation>
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
        <source>Go to next result</source>
        <translation>Aller au résultat suivant</translation>
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
        <source>Ctrl+L</source>
        <translation>Ctrl+L</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Paramètres</translation>
    </message>
    <message>
        <source>About</source>
        <translation>À propos</translation>
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
        <source>You have made some modifications to the currently displayed data without saving them.
Do you confirm overwriting such unsaved data with the content of the newly opened device?</source>
        <translation>Vous avez modifié les données affichées sans les enregistrer.
Confirmez-vous le remplacement de ces données non enregistrées par le contenu de l’appareil que vous ouvrez&#xa0;?</translation>
    </message>
    <message>
        <source>Write success</source>
        <translation>Écriture réussie</translation>
    </message>
    <message>
        <source>All data were successfully written.
You can safely remove the device if you want.</source>
        <translation>Toutes les données ont été écrites avec succès.
Vous pouvez retirer l’appareil en toute sécurité si vous le souhaitez.</translation>
    </message>
    <message>
        <source>&lt;b&gt;Corvane Key Manager&lt;/b&gt;, copyright &amp;copy; %1 Corvane.&lt;br /&gt;&lt;br /&gt;Build date: %2 %3&lt;br /&gt;Application version: %4&lt;br /&gt;Qt version: %5&lt;br /&gt;&lt;br /&gt;This application is using Qt framework under &lt;a href=&quot;%6&quot;&gt;LGPLv3 license&lt;/a&gt;.</source>
        <translation>&lt;b&gt;Corvane Key Manager&lt;/b&gt;, copyright &amp;copy; %1 Corvane.&lt;br /&gt;&lt;br /&gt;Date de compilation&#xa0;: %2 %3&lt;br /&gt;Version de l’application&#xa0;: %4&lt;br /&gt;Version de Qt&#xa0;: %5&lt;br /&gt;&lt;br /&gt;Cette application utilise le framework Qt sous &lt;a href=&quot;%6&quot;&gt;licence LGPLv3&lt;/a&gt;.</translation>
    </message>
    <message>
        <source>Welcome</source>
        <translation>Bienvenue</translation>
    </message>
    <message>
        <source>This is the first time you run the Corvane application. Do you want to read the &quot;getting started&quot; documentation?

You can always access this documentation and much more from the application Help menu.</source>
        <translation>C’est la première fois que vous lancez l’application Corvane. Voulez-vous lire la documentation «&#xa0;Bien démarrer&#xa0;»&#xa0;?

Vous pouvez à tout moment retrouver cette documentation, et bien plus encore, dans le menu Aide de l’application.</translation>
    </message>
    <message>
        <source>Clipboard cleared in %1 s</source>
        <translation>Presse-papiers vidé dans %1&#xa0;s</translation>
    </message>
    <message>
        <source>Show the password health report</source>
        <translation>Afficher le bilan de santé des mots de passe</translation>
    </message>
    <message>
        <source>Password health findings</source>
        <translation>Problèmes de mots de passe détectés</translation>
    </message>
    <message>
        <source>Password health</source>
        <translation>Santé des mots de passe</translation>
    </message>
    <message>
        <source>Last backup of this device: %1</source>
        <translation>Dernière sauvegarde de cet appareil&#xa0;: %1</translation>
    </message>
    <message>
        <source>This device was never backed up</source>
        <translation>Cet appareil n’a jamais été sauvegardé</translation>
    </message>
    <message>
        <source>Back up the device to a file</source>
        <translation>Sauvegarder l’appareil dans un fichier</translation>
    </message>
    <message>
        <source>Device backups (*.corvane-backup)</source>
        <translation>Sauvegardes d’appareil (*.corvane-backup)</translation>
    </message>
    <message>
        <source>Restore a device from a file</source>
        <translation>Restaurer un appareil depuis un fichier</translation>
    </message>
    <message>
        <source>Device backups (*.corvane-backup);;All files (*)</source>
        <translation>Sauvegardes d’appareil (*.corvane-backup);;Tous les fichiers (*)</translation>
    </message>
    <message>
        <source>Create a tab with New to start.</source>
        <translation>Créez un onglet avec Nouveau pour commencer.</translation>
    </message>
    <message>
        <source>Records imported: %1.</source>
        <translation>Fiches importées&#xa0;: %1.</translation>
    </message>
    <message>
        <source>Column titles found</source>
        <translation>Titres de colonnes trouvés</translation>
    </message>
    <message>
        <source>The first line of the file looks like the column titles of another password manager.
Read the columns from these titles instead of importing the line as a record?</source>
        <translation>La première ligne du fichier ressemble aux titres de colonnes d’un autre gestionnaire de mots de passe.
Lire les colonnes d’après ces titres au lieu d’importer la ligne comme une fiche&#xa0;?</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Enregistrer</translation>
    </message>
    <message>
        <source>Ne&amp;w</source>
        <translation>No&amp;uveau</translation>
    </message>
    <message>
        <source>&amp;Rename</source>
        <translation>&amp;Renommer</translation>
    </message>
    <message>
        <source>D&amp;uplicate</source>
        <translation>Dupl&amp;iquer</translation>
    </message>
    <message>
        <source>Remo&amp;ve</source>
        <translation>Suppri&amp;mer</translation>
    </message>
    <message>
        <source>&amp;New</source>
        <translation>&amp;Nouveau</translation>
    </message>
    <message>
        <source>Ed&amp;it</source>
        <translation>M&amp;odifier</translation>
    </message>
    <message>
        <source>Rem&amp;ove</source>
        <translation>&amp;Supprimer</translation>
    </message>
    <message>
        <source>&amp;Clear</source>
        <translation>Effa&amp;cer</translation>
    </message>
    <message>
        <source>Se&amp;arch:</source>
        <translation>Rec&amp;hercher&#xa0;:</translation>
    </message>
    <message>
        <source>&amp;Previous</source>
        <translation>Précéden&amp;t</translation>
    </message>
    <message>
        <source>Ne&amp;xt</source>
        <translation>Sui&amp;vant</translation>
    </message>
    <message>
        <source>Search in all ta&amp;bs</source>
        <translation>Rechercher dans tous les on&amp;glets</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Fichier</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>É&amp;dition</translation>
    </message>
    <message>
        <source>&amp;Device</source>
        <translation>A&amp;ppareil</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Aide</translation>
    </message>
    <message>
        <source>&amp;Open Corvane...</source>
        <translation>&amp;Ouvrir Corvane...</translation>
    </message>
    <message>
        <source>&amp;Lock application</source>
        <translation>&amp;Verrouiller l’application</translation>
    </message>
    <message>
        <source>&amp;Import CSV file...</source>
        <translation>&amp;Importer un fichier CSV...</translation>
    </message>
    <message>
        <source>E&amp;xport current tab as CSV...</source>
        <translation>E&amp;xporter l’onglet courant en CSV...</translation>
    </message>
    <message>
        <source>Password &amp;health report</source>
        <translation>&amp;Bilan de santé des mots de passe</translation>
    </message>
    <message>
        <source>Se&amp;ttings</source>
        <translation>&amp;Paramètres</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Quitter</translation>
    </message>
    <message>
        <source>&amp;Configure device...</source>
        <translation>&amp;Configurer l’appareil...</translation>
    </message>
    <message>
        <source>Show device &amp;information</source>
        <translation>Afficher les &amp;informations de l’appareil</translation>
    </message>
    <message>
        <source>C&amp;opy device...</source>
        <translation>C&amp;opier l’appareil...</translation>
    </message>
    <message>
        <source>&amp;Erase device...</source>
        <translation>&amp;Effacer l’appareil...</translation>
    </message>
    <message>
        <source>&amp;Back up device to file...</source>
        <translation>&amp;Sauvegarder l’appareil dans un fichier...</translation>
    </message>
    <message>
        <source>&amp;Restore device from file...</source>
        <translation>&amp;Restaurer l’appareil depuis un fichier...</translation>
    </message>
    <message>
        <source>Corvane Key Manager &amp;Help</source>
        <translation>&amp;Aide de Corvane Key Manager</translation>
    </message>
    <message>
        <source>Corvane Key Manager &amp;website</source>
        <translation>&amp;Site web de Corvane Key Manager</translation>
    </message>
    <message>
        <source>Check for &amp;update</source>
        <translation>Rechercher une &amp;mise à jour</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>À &amp;propos</translation>
    </message>
    <message>
        <source>&amp;Save to device</source>
        <translation>&amp;Enregistrer sur l’appareil</translation>
    </message>
    <message>
        <source>&amp;New record</source>
        <translation>&amp;Nouvelle fiche</translation>
    </message>
    <message>
        <source>&amp;Edit record</source>
        <translation>&amp;Modifier la fiche</translation>
    </message>
    <message>
        <source>&amp;Remove record</source>
        <translation>&amp;Supprimer la fiche</translation>
    </message>
    <message>
        <source>Copy &amp;login</source>
        <translation>Copier l’&amp;identifiant</translation>
    </message>
    <message>
        <source>Copy &amp;password</source>
        <translation>Copier le mot de &amp;passe</translation>
    </message>
    <message>
        <source>S&amp;how/hide password</source>
        <translation>A&amp;fficher/masquer le mot de passe</translation>
    </message>
    <message>
        <source>Help on this &amp;page</source>
        <translation>Aide sur cette pa&amp;ge</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>This vault has no integrity seal; saving it adds one</source>
        <translation>Ce coffre n’a pas de sceau d’intégrité&#xa0;; l’enregistrer en ajoute un</translation>
    </message>
    <message>
        <source>Open &amp;web site</source>
        <translation>Ouvrir le site &amp;web</translation>
    </message>
    <message>
        <source>Set/change the &amp;master password then save</source>
        <translation>Définir/changer le &amp;mot de passe maître puis enregistrer</translation>
    </message>
    <message>
        <source>&amp;Quit without saving</source>
        <translation>&amp;Quitter sans enregistrer</translation>
    </message>
</context>
<context>
    <name>PasswordHealthFinding</name>
    <message>
        <source>Same as master password</source>
        <translation>Identique au mot de passe maître</translation>
    </message>
    <message>
        <source>Reused</source>
        <translation>Réutilisé</translation>
    </message>
    <message>
        <source>Empty</source>
        <translation>Vide</translation>
    </message>
    <message>
        <source>Weak</source>
        <translation>Faible</translation>
    </message>
    <message>
        <source>a leak of this account exposes the whole vault</source>
        <translation>une fuite de ce compte expose tout le coffre</translation>
    </message>
    <message numerus="yes">
        <source>reused in %n records</source>
        <translation>
            <numerusform>réutilisé dans %n fiche</numerusform>
            <numerusform>réutilisé dans %n fiches</numerusform>
        </translation>
    </message>
    <message>
        <source>no password is stored</source>
        <translation>aucun mot de passe n’est enregistré</translation>
    </message>
    <message numerus="yes">
        <source>%n same as master password</source>
        <translation>
            <numerusform>%n identique au mot de passe maître</numerusform>
            <numerusform>%n identiques au mot de passe maître</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n reused</source>
        <translation>
            <numerusform>%n réutilisé</numerusform>
            <numerusform>%n réutilisés</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n empty</source>
        <translation>
            <numerusform>%n vide</numerusform>
            <numerusform>%n vides</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n weak</source>
        <translation>
            <numerusform>%n faible</numerusform>
            <numerusform>%n faibles</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 and %n more</source>
        <translation>
            <numerusform>%1 et %n autre</numerusform>
            <numerusform>%1 et %n autres</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>reused in %n records: %1</source>
        <translation>
            <numerusform>réutilisé dans %n fiche&#xa0;: %1</numerusform>
            <numerusform>réutilisé dans %n fiches&#xa0;: %1</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>PasswordRating</name>
    <message>
        <source>common word</source>
        <translation>mot courant</translation>
    </message>
    <message>
        <source>record name, login or web site</source>
        <translation>nom, identifiant ou site web de la fiche</translation>
    </message>
    <message>
        <source>repeated characters</source>
        <translation>caractères répétés</translation>
    </message>
    <message>
        <source>sequence</source>
        <translation>suite</translation>
    </message>
    <message>
        <source>keyboard pattern</source>
        <translation>motif de clavier</translation>
    </message>
    <message>
        <source>date</source>
        <translation>date</translation>
    </message>
    <message>
        <source>year</source>
        <translation>année</translation>
    </message>
    <message>
        <source>digits</source>
        <translation>chiffres</translation>
    </message>
    <message>
        <source>symbols</source>
        <translation>symboles</translation>
    </message>
    <message>
        <source>too few random characters</source>
        <translation>trop peu de caractères aléatoires</translation>
    </message>
    <message>
        <source>less than a second</source>
        <translation>moins d’une seconde</translation>
    </message>
    <message>
        <source>about 1 year</source>
        <translation>environ 1 an</translation>
    </message>
    <message>
        <source>about %1 years</source>
        <translation>environ %1 ans</translation>
    </message>
    <message>
        <source>about 1 month</source>
        <translation>environ 1 mois</translation>
    </message>
    <message>
        <source>about %1 months</source>
        <translation>environ %1 mois</translation>
    </message>
    <message>
        <source>about 1 day</source>
        <translation>environ 1 jour</translation>
    </message>
    <message>
        <source>about %1 days</source>
        <translation>environ %1 jours</translation>
    </message>
    <message>
        <source>about 1 hour</source>
        <translation>environ 1 heure</translation>
    </message>
    <message>
        <source>about %1 hours</source>
        <translation>environ %1 heures</translation>
    </message>
    <message>
        <source>about 1 minute</source>
        <translation>environ 1 minute</translation>
    </message>
    <message>
        <source>about %1 minutes</source>
        <translation>environ %1 minutes</translation>
    </message>
    <message>
        <source>about 1 second</source>
        <translation>environ 1 seconde</translation>
    </message>
    <message>
        <source>about %1 seconds</source>
        <translation>environ %1 secondes</translation>
    </message>
    <message>
        <source>centuries</source>
        <translation>des siècles</translation>
    </message>
    <message>
        <source>guessed in %1</source>
        <translation>deviné en %1</translation>
    </message>
    <message>
        <source>%1, guessed in %2</source>
        <translation>%1, deviné en %2</translation>
    </message>
    <message>
        <source>common password</source>
        <translation>mot de passe courant</translation>
    </message>
    <message>
        <source>Weak: %1</source>
        <translation>Faible&#xa0;: %1</translation>
    </message>
    <message>
        <source>Strong: %1</source>
        <translation>Robuste&#xa0;: %1</translation>
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
        <source>Passwords</source>
        <translation>Mots de passe</translation>
    </message>
    <message>
        <source>Password hidden</source>
        <translation>Mot de passe masqué</translation>
    </message>
    <message>
        <source>&amp;Copy to clipboard</source>
        <translation>&amp;Copier dans le presse-papiers</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Modifier</translation>
    </message>
    <message>
        <source>&amp;Duplicate row into tab...</source>
        <translation>&amp;Dupliquer la ligne dans l’onglet...</translation>
    </message>
    <message>
        <source>&amp;Move row to tab...</source>
        <translation>Déplacer la &amp;ligne vers l’onglet...</translation>
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
    <name>PasswordVisibilityToggle</name>
    <message>
        <source>&amp;Hide</source>
        <translation>Masqu&amp;er</translation>
    </message>
    <message>
        <source>S&amp;how</source>
        <translation>Affich&amp;er</translation>
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
    <message>
        <source>The file ends inside a quoted field that starts on line 1: its closing double quote is missing.</source>
        <translation>Le fichier se termine dans un champ entre guillemets qui commence à la ligne 1&#xa0;: son guillemet fermant manque.</translation>
    </message>
    <message>
        <source>No record was recognised: the lines hold no value in the recognised columns.</source>
        <translation>Aucun enregistrement n’a été reconnu&#xa0;: les lignes n’ont aucune valeur dans les colonnes reconnues.</translation>
    </message>
    <message>
        <source>No record was recognised: none of the column titles of the first line is known. A file without a header line needs the fixed column order (name, login, password, web site, note).</source>
        <translation>Aucun enregistrement n’a été reconnu&#xa0;: aucun des titres de colonne de la première ligne n’est connu. Un fichier sans ligne d’en-tête demande l’ordre fixe des colonnes (nom, identifiant, mot de passe, site web, note).</translation>
    </message>
    <message>
        <source>it is a symbolic link, which is never written through</source>
        <translation>c’est un lien symbolique, à travers lequel rien n’est jamais écrit</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>c’est un dossier</translation>
    </message>
    <message>
        <source>it is not a regular file (a pipe or a device)</source>
        <translation>ce n’est pas un fichier ordinaire (un tube ou un périphérique)</translation>
    </message>
    <message>
        <source>the file already exists</source>
        <translation>le fichier existe déjà</translation>
    </message>
    <message>
        <source>cannot create a temporary file in its folder (%1)</source>
        <translation>impossible de créer un fichier temporaire dans son dossier (%1)</translation>
    </message>
    <message>
        <source>writing failed (%1); the previous file is left untouched</source>
        <translation>l’écriture a échoué (%1)&#xa0;; le fichier précédent est resté intact</translation>
    </message>
    <message>
        <source>cannot open &apos;%1&apos;: %2</source>
        <translation>impossible d’ouvrir «&#xa0;%1&#xa0;»&#xa0;: %2</translation>
    </message>
    <message>
        <source>cannot read &apos;%1&apos;: %2</source>
        <translation>impossible de lire «&#xa0;%1&#xa0;»&#xa0;: %2</translation>
    </message>
    <message>
        <source>more than %1</source>
        <translation>plus de %1</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a memory image: it holds %2 bytes instead of %3</source>
        <translation>«&#xa0;%1&#xa0;» n’est pas une image mémoire&#xa0;: il contient %2 octets au lieu de %3</translation>
    </message>
    <message>
        <source>The file is too large (%1 MiB): a CSV file of at most %2 MiB is read, far more than the 128 KiB a device holds; reading a larger one would take gigabytes of memory.</source>
        <translation>Le fichier est trop volumineux (%1 Mio)&#xa0;: un fichier CSV d’au plus %2 Mio est lu, bien plus que les 128 Kio que contient un appareil&#xa0;; en lire un plus grand demanderait des gigaoctets de mémoire.</translation>
    </message>
    <message>
        <source>cannot make the file readable by its owner only (%1)</source>
        <translation>impossible de rendre le fichier lisible par son seul propriétaire (%1)</translation>
    </message>
</context>
<context>
    <name>RestoreDeviceWorkflow</name>
    <message>
        <source>Could not read the backup file (%1).</source>
        <translation>Impossible de lire le fichier de sauvegarde (%1).</translation>
    </message>
    <message>
        <source>Failed to decrypt data. Make sure you provided the correct password.</source>
        <translation>Échec du déchiffrement des données. Vérifiez que vous avez saisi le bon mot de passe.</translation>
    </message>
    <message>
        <source>Could not retrieve the device backup disable flag.</source>
        <translation>Impossible de lire l’indicateur de désactivation de sauvegarde de l’appareil.</translation>
    </message>
    <message>
        <source>Device access error</source>
        <translation>Erreur d’accès à l’appareil</translation>
    </message>
    <message>
        <source>Device backup disabled</source>
        <translation>Sauvegarde désactivée sur l’appareil</translation>
    </message>
    <message>
        <source>The selected device can&apos;t be used as backup target: nothing was written.
This feature can be configured through the device configuration menu of the application.</source>
        <translation>L’appareil sélectionné ne peut pas servir de cible de sauvegarde&#xa0;: rien n’a été écrit.
Cette fonction se configure dans le menu de configuration de l’appareil de l’application.</translation>
    </message>
    <message>
        <source>Confirm restoring device</source>
        <translation>Confirmer la restauration de l’appareil</translation>
    </message>
    <message>
        <source>Restore success</source>
        <translation>Restauration réussie</translation>
    </message>
    <message>
        <source>The backup &apos;%1&apos; was written to the device &apos;%2&apos; and verified.
You can safely remove the device if you want.</source>
        <translation>La sauvegarde «&#xa0;%1&#xa0;» a été écrite sur l’appareil «&#xa0;%2&#xa0;» et vérifiée.
Vous pouvez retirer l’appareil en toute sécurité si vous le souhaitez.</translation>
    </message>
    <message>
        <source>The data in this backup file were modified outside Corvane Key Manager. Restore them anyway?</source>
        <translation>Les données de ce fichier de sauvegarde ont été modifiées en dehors de Corvane Key Manager. Les restaurer quand même&#xa0;?</translation>
    </message>
    <message>
        <source>This backup holds an older vault than the one saved to this device from this computer on %1. Restore it anyway?</source>
        <translation>Cette sauvegarde contient un coffre plus ancien que celui enregistré sur cet appareil depuis cet ordinateur le %1. La restaurer quand même&#xa0;?</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Avertissement</translation>
    </message>
    <message>
        <source>Restore the backup &apos;%1&apos; to the device &apos;%2&apos; (serial number %3)?
All device current data will be overwritten.</source>
        <translation>Restaurer la sauvegarde «&#xa0;%1&#xa0;» sur l’appareil «&#xa0;%2&#xa0;» (numéro de série %3)&#xa0;?
Toutes les données actuelles de l’appareil seront écrasées.</translation>
    </message>
    <message>
        <source>This backup was made from another device (serial number %1).</source>
        <translation>Cette sauvegarde provient d’un autre appareil (numéro de série %1).</translation>
    </message>
</context>
<context>
    <name>SaveDeviceWorkflow</name>
    <message>
        <source>Confirm saving device</source>
        <translation>Confirmer l’enregistrement sur l’appareil</translation>
    </message>
    <message>
        <source>Save changes to the device &apos;%1&apos; (serial number %2)?
All device current data will be overwritten.</source>
        <translation>Enregistrer les modifications sur l’appareil «&#xa0;%1&#xa0;» (numéro de série %2)&#xa0;?
Toutes les données actuelles de l’appareil seront écrasées.</translation>
    </message>
    <message>
        <source>This vault was opened from another device (serial number %1).</source>
        <translation>Ce coffre a été ouvert depuis un autre appareil (numéro de série %1).</translation>
    </message>
    <message>
        <source>There is not enough room in device memory. Please remove some passwords.</source>
        <translation>Il n’y a pas assez de place dans la mémoire de l’appareil. Veuillez supprimer des mots de passe.</translation>
    </message>
    <message>
        <source>Failed to encrypt data, aborting.</source>
        <translation>Échec du chiffrement des données, abandon.</translation>
    </message>
</context>
<context>
    <name>UpdateChecker</name>
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
        <source>Error</source>
        <translation>Erreur</translation>
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
    <name>ViewContentApplicationLicense</name>
    <message>
        <source>License agreement and news</source>
        <translation>Contrat de licence et nouveautés</translation>
    </message>
    <message>
        <source>I accept the &amp;terms in the License Agreement</source>
        <translation>J’accepte les &amp;termes du contrat de licence</translation>
    </message>
    <message>
        <source>I &amp;accept</source>
        <translation>J’&amp;accepte</translation>
    </message>
    <message>
        <source>I &amp;decline</source>
        <translation>Je &amp;refuse</translation>
    </message>
</context>
<context>
    <name>ViewContentApplicationLocked</name>
    <message>
        <source>Padlock</source>
        <translation>Cadenas</translation>
    </message>
    <message>
        <source>Insert &amp;password:</source>
        <translation>Saisissez le mot de &amp;passe&#xa0;:</translation>
    </message>
    <message>
        <source>Master password</source>
        <translation>Mot de passe maître</translation>
    </message>
    <message>
        <source>S&amp;how</source>
        <translation>Affich&amp;er</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Quitter</translation>
    </message>
    <message>
        <source>&amp;Unlock</source>
        <translation>&amp;Déverrouiller</translation>
    </message>
    <message>
        <source>You can configure or disable the application auto locking feature from the Settings menu.</source>
        <translation>Vous pouvez régler ou désactiver le verrouillage automatique de l’application dans Fichier&#xa0;&gt;&#xa0;Paramètres.</translation>
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
    <message>
        <source>Padlock: the application is locked</source>
        <translation>Cadenas&#xa0;: l’application est verrouillée</translation>
    </message>
    <message>
        <source>A device transfer is running behind the locked page.</source>
        <translation>Un transfert avec l’appareil est en cours derrière la page verrouillée.</translation>
    </message>
    <message>
        <source>The device transfer has finished.</source>
        <translation>Le transfert avec l’appareil est terminé.</translation>
    </message>
    <message>
        <source>A device transfer is running behind the locked page: quitting now could leave the device half written.
Quit once the locked page says that the transfer has finished.</source>
        <translation>Un transfert avec l’appareil est en cours derrière la page verrouillée&#xa0;: quitter maintenant pourrait laisser l’appareil à moitié écrit.
Quittez une fois que la page verrouillée indique que le transfert est terminé.</translation>
    </message>
    <message>
        <source>Too many wrong passwords: the next attempt is possible in %1 s.</source>
        <translation>Trop de mots de passe incorrects&#xa0;: prochain essai possible dans %1&#xa0;s.</translation>
    </message>
</context>
<context>
    <name>ViewContentConfigureDevice</name>
    <message>
        <source>Name</source>
        <translation>Nom</translation>
    </message>
    <message>
        <source>Set &amp;name:</source>
        <translation>&amp;Nom&#xa0;:</translation>
    </message>
    <message>
        <source>Device name</source>
        <translation>Nom de l’appareil</translation>
    </message>
    <message>
        <source>You can customize your device name as many times as you want.</source>
        <translation>Vous pouvez renommer votre appareil aussi souvent que vous le souhaitez.</translation>
    </message>
    <message>
        <source>Backup</source>
        <translation>Sauvegarde</translation>
    </message>
    <message>
        <source>Prevent using this device as a &amp;backup target</source>
        <translation>Empêcher l’utilisation de cet appareil comme cible de &amp;sauvegarde</translation>
    </message>
    <message>
        <source>Prevent this device to be selected as the target device during the Device Copy wizard. Then, the wizard would be interrupted before this device content would be overwritten.</source>
        <translation>Empêche de choisir cet appareil comme appareil cible dans l’assistant de copie d’appareil&#xa0;: l’assistant s’arrête alors avant d’écraser le contenu de cet appareil.</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Annuler</translation>
    </message>
    <message>
        <source>Name too long</source>
        <translation>Nom trop long</translation>
    </message>
    <message>
        <source>Device name is limited to %1 ASCII characters (some UTF-8 characters can use several ASCII characters).
Please retry with a shorter name.</source>
        <translation>Le nom de l’appareil est limité à %1 caractères ASCII (certains caractères UTF-8 en occupent plusieurs).
Veuillez réessayer avec un nom plus court.</translation>
    </message>
    <message>
        <source>Device access error</source>
        <translation>Erreur d’accès à l’appareil</translation>
    </message>
    <message>
        <source>Could not write the device name.</source>
        <translation>Impossible d’écrire le nom de l’appareil.</translation>
    </message>
    <message>
        <source>Could not write the device backup disable flag.</source>
        <translation>Impossible d’écrire l’indicateur de désactivation de sauvegarde de l’appareil.</translation>
    </message>
    <message>
        <source>Success</source>
        <comment>Device configuration</comment>
        <translation>Configuration réussie</translation>
    </message>
    <message>
        <source>The device configuration was successfully updated.</source>
        <translation>La configuration de l’appareil a été mise à jour avec succès.</translation>
    </message>
</context>
<context>
    <name>ViewContentDeviceCopyWizardPage1</name>
    <message>
        <source>This wizard will allow you to duplicate the content of a device to another device.</source>
        <translation>Cet assistant vous permet de dupliquer le contenu d’un appareil sur un autre appareil.</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;Warning:&lt;/span&gt; the target device content will be overwritten.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;Attention&#xa0;:&lt;/span&gt; le contenu de l’appareil cible sera écrasé.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Click the &lt;span style=&quot; font-weight:600;&quot;&gt;Next&lt;/span&gt; button to continue.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Cliquez sur le bouton &lt;span style=&quot; font-weight:600;&quot;&gt;Suivant&lt;/span&gt; pour continuer.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&amp;Previous</source>
        <translation>&amp;Précédent</translation>
    </message>
    <message>
        <source>&amp;Next</source>
        <translation>&amp;Suivant</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Annuler</translation>
    </message>
</context>
<context>
    <name>ViewContentDeviceCopyWizardPage2</name>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Please plug the source device (the device to copy data from), enter its master password below then press the &lt;span style=&quot; font-weight:600;&quot;&gt;Next&lt;/span&gt; button.&lt;/p&gt;&lt;p&gt;If more than one device is connected, you will be asked to choose which one is the source device.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Veuillez brancher l’appareil source (celui dont les données seront copiées), saisir son mot de passe maître ci-dessous puis cliquer sur le bouton &lt;span style=&quot; font-weight:600;&quot;&gt;Suivant&lt;/span&gt;.&lt;/p&gt;&lt;p&gt;Si plusieurs appareils sont branchés, vous choisirez lequel est l’appareil source.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Enter the source device &amp;master password:</source>
        <translation>Saisissez le &amp;mot de passe maître de l’appareil source&#xa0;:</translation>
    </message>
    <message>
        <source>Master password</source>
        <translation>Mot de passe maître</translation>
    </message>
    <message>
        <source>S&amp;how</source>
        <translation>Affich&amp;er</translation>
    </message>
    <message>
        <source>&amp;Previous</source>
        <translation>&amp;Précédent</translation>
    </message>
    <message>
        <source>&amp;Next</source>
        <translation>&amp;Suivant</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Annuler</translation>
    </message>
</context>
<context>
    <name>ViewContentDeviceCopyWizardPage3</name>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;The content of the source device has been successfully retrieved. You can now unplug the source device and plug the target device (the device the retrieved content will be copied to).&lt;/p&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;Warning:&lt;/span&gt; the target device current content will be overwritten.&lt;/p&gt;&lt;p&gt;If more than one device is connected, you will be asked to choose which one is the target device.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Le contenu de l’appareil source a été lu avec succès. Vous pouvez maintenant débrancher l’appareil source et brancher l’appareil cible (celui sur lequel le contenu lu sera copié).&lt;/p&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;Attention&#xa0;:&lt;/span&gt; le contenu actuel de l’appareil cible sera écrasé.&lt;/p&gt;&lt;p&gt;Si plusieurs appareils sont branchés, vous choisirez lequel est l’appareil cible.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Enter the target device master password or leave blank to use the same master password than the source device, then click the &lt;span style=&quot; font-weight:600;&quot;&gt;Next&lt;/span&gt; button:&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Saisissez le mot de passe maître de l’appareil cible, ou laissez le champ vide pour garder celui de l’appareil source, puis cliquez sur le bouton &lt;span style=&quot; font-weight:600;&quot;&gt;Suivant&lt;/span&gt;&#xa0;:&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Leave blank to use the source device master password</source>
        <translation>Laissez vide pour utiliser le mot de passe maître de l’appareil source</translation>
    </message>
    <message>
        <source>Master password</source>
        <translation>Mot de passe maître</translation>
    </message>
    <message>
        <source>S&amp;how</source>
        <translation>Affich&amp;er</translation>
    </message>
    <message>
        <source>&lt;Password strength&gt;</source>
        <translation>&lt;Force du mot de passe&gt;</translation>
    </message>
    <message>
        <source>&amp;Previous</source>
        <translation>&amp;Précédent</translation>
    </message>
    <message>
        <source>&amp;Next</source>
        <translation>&amp;Suivant</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Annuler</translation>
    </message>
    <message>
        <source>Password strength: &lt;b&gt;%1&lt;/b&gt;</source>
        <translation>Force du mot de passe&#xa0;: &lt;b&gt;%1&lt;/b&gt;</translation>
    </message>
    <message>
        <source>The source device master password will be used.</source>
        <translation>Le mot de passe maître de l’appareil source sera utilisé.</translation>
    </message>
</context>
<context>
    <name>ViewContentDeviceCopyWizardPage4</name>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;The source device content has been successfully duplicated into the target device.&lt;/p&gt;&lt;p&gt;You can safely unplug the device(s).&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Le contenu de l’appareil source a été copié avec succès sur l’appareil cible.&lt;/p&gt;&lt;p&gt;Vous pouvez débrancher le ou les appareils en toute sécurité.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&amp;Previous</source>
        <translation>&amp;Précédent</translation>
    </message>
    <message>
        <source>&amp;Next</source>
        <translation>&amp;Suivant</translation>
    </message>
    <message>
        <source>&amp;Exit</source>
        <translation>&amp;Terminer</translation>
    </message>
</context>
<context>
    <name>ViewContentDeviceErasingWizardPage1</name>
    <message>
        <source>This wizard allows you to fully erase a device content.</source>
        <translation>Cet assistant vous permet d’effacer entièrement le contenu d’un appareil.</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;Warning:&lt;/span&gt; the device content will be lost with no possibility to retrieve it.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;Attention&#xa0;:&lt;/span&gt; le contenu de l’appareil sera perdu sans aucune possibilité de le récupérer.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Click the &lt;span style=&quot; font-weight:600;&quot;&gt;Next&lt;/span&gt; button to continue.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Cliquez sur le bouton &lt;span style=&quot; font-weight:600;&quot;&gt;Suivant&lt;/span&gt; pour continuer.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&amp;Next</source>
        <translation>&amp;Suivant</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Annuler</translation>
    </message>
</context>
<context>
    <name>ViewContentDeviceErasingWizardPage2</name>
    <message>
        <source>Please connect the device to erase.</source>
        <translation>Veuillez brancher l’appareil à effacer.</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;Warning:&lt;/span&gt; the device content will be lost with no possibility to retrieve it.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;Attention&#xa0;:&lt;/span&gt; le contenu de l’appareil sera perdu sans aucune possibilité de le récupérer.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Check the confirmation box and click the &lt;span style=&quot; font-weight:600;&quot;&gt;Next&lt;/span&gt; button to continue.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Cochez la case de confirmation et cliquez sur le bouton &lt;span style=&quot; font-weight:600;&quot;&gt;Suivant&lt;/span&gt; pour continuer.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Also &amp;reset the device name</source>
        <translation>&amp;Réinitialiser aussi le nom de l’appareil</translation>
    </message>
    <message>
        <source>I confirm I want to irreversibly &amp;delete the device content</source>
        <translation>Je &amp;confirme vouloir effacer définitivement le contenu de l’appareil</translation>
    </message>
    <message>
        <source>&amp;Next</source>
        <translation>&amp;Suivant</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Annuler</translation>
    </message>
</context>
<context>
    <name>ViewContentDeviceErasingWizardPage3</name>
    <message>
        <source>The device content has been successfully erased.</source>
        <translation>Le contenu de l’appareil a été effacé avec succès.</translation>
    </message>
    <message>
        <source>You can safely unplug the device.</source>
        <translation>Vous pouvez débrancher l’appareil en toute sécurité.</translation>
    </message>
    <message>
        <source>&amp;Exit</source>
        <translation>&amp;Terminer</translation>
    </message>
</context>
<context>
    <name>ViewContentDeviceSelection</name>
    <message>
        <source>Select the device to use. Make sure at least one Corvane is connected to the computer.</source>
        <translation>Sélectionnez l’appareil à utiliser. Vérifiez qu’au moins un Corvane est branché sur l’ordinateur.</translation>
    </message>
    <message>
        <source>Click on a device to make it blink.</source>
        <translation>Cliquez sur un appareil pour faire clignoter son voyant.</translation>
    </message>
    <message>
        <source>Detected devices</source>
        <translation>Appareils détectés</translation>
    </message>
    <message>
        <source>&amp;Select</source>
        <translation>&amp;Sélectionner</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Annuler</translation>
    </message>
    <message>
        <source>USB serial number: %1</source>
        <translation>Numéro de série USB&#xa0;: %1</translation>
    </message>
    <message>
        <source>Could not stop the device with USB serial number &apos;%1&apos; LED from blinking.</source>
        <translation>Impossible d’arrêter le clignotement du voyant de l’appareil de numéro de série USB «&#xa0;%1&#xa0;».</translation>
    </message>
    <message>
        <source>Could not make the device LED blink.</source>
        <translation>Impossible de faire clignoter le voyant de l’appareil.</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Erreur</translation>
    </message>
    <message>
        <source>No Corvane is connected.

Check that the device is plugged in and that its USB cable is firmly connected at both ends.
If the device is plugged in and still not listed, your user may lack the permission to use serial ports: install the udev rule shipped with the application, or add your user to the &quot;dialout&quot; group and log in again.</source>
        <translation>Aucun Corvane n’est branché.

Vérifiez que l’appareil est branché et que son câble USB est bien connecté aux deux bouts.
Si l’appareil est branché mais n’apparaît toujours pas, votre utilisateur n’a peut-être pas l’autorisation d’utiliser les ports série&#xa0;: installez la règle udev fournie avec l’application, ou ajoutez votre utilisateur au groupe «&#xa0;dialout&#xa0;» puis rouvrez votre session.</translation>
    </message>
    <message>
        <source>%1
Serial number %2, opened from this device</source>
        <translation>%1
Numéro de série %2, ouvert depuis cet appareil</translation>
    </message>
    <message>
        <source>%1
Serial number %2</source>
        <translation>%1
Numéro de série %2</translation>
    </message>
    <message>
        <source>in use by another program</source>
        <translation>utilisé par un autre programme</translation>
    </message>
    <message>
        <source>cannot be used: %1</source>
        <translation>inutilisable&#xa0;: %1</translation>
    </message>
    <message>
        <source>connecting…</source>
        <translation>connexion…</translation>
    </message>
    <message>
        <source>Serial number %1
%2</source>
        <translation>Numéro de série %1
%2</translation>
    </message>
</context>
<context>
    <name>ViewContentImportCSVFile</name>
    <message>
        <source>CSV file to import</source>
        <translation>Fichier CSV à importer</translation>
    </message>
    <message>
        <source>Select &amp;file...</source>
        <translation>Sélectionner un &amp;fichier...</translation>
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
        <source>Fields &amp;separator:</source>
        <translation>&amp;Séparateur de champs&#xa0;:</translation>
    </message>
    <message>
        <source>Fields separator</source>
        <translation>Séparateur de champs</translation>
    </message>
    <message>
        <source>File fo&amp;rmat:</source>
        <translation>Fo&amp;rmat du fichier&#xa0;:</translation>
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
        <source>Create a &amp;new tab</source>
        <translation>Créer un &amp;nouvel onglet</translation>
    </message>
    <message>
        <source>New tab n&amp;ame:</source>
        <translation>No&amp;m du nouvel onglet&#xa0;:</translation>
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
        <source>Import to an &amp;existing tab</source>
        <translation>Importer dans un onglet &amp;existant</translation>
    </message>
    <message>
        <source>Select &amp;tab:</source>
        <translation>Choisir l’ongle&amp;t&#xa0;:</translation>
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
        <source>&amp;Update existing passwords with imported ones</source>
        <translation>Mettre à jo&amp;ur les mots de passe existants avec ceux importés</translation>
    </message>
    <message>
        <source>&lt;a href=&quot;import_csv_file.html&quot;&gt;How to import a CSV file?&lt;/a&gt;</source>
        <translation>&lt;a href=&quot;import_csv_file.html&quot;&gt;Comment importer un fichier CSV&#xa0;?&lt;/a&gt;</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Annuler</translation>
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
    <name>ViewContentInsertReadingMasterPassword</name>
    <message>
        <source>Enter &amp;password:</source>
        <translation>Saisissez le mot de &amp;passe&#xa0;:</translation>
    </message>
    <message>
        <source>Master password</source>
        <translation>Mot de passe maître</translation>
    </message>
    <message>
        <source>S&amp;how</source>
        <translation>Affich&amp;er</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Annuler</translation>
    </message>
</context>
<context>
    <name>ViewContentInsertWritingMasterPassword</name>
    <message>
        <source>Enter &amp;password:</source>
        <translation>Saisissez le mot de &amp;passe&#xa0;:</translation>
    </message>
    <message>
        <source>New master password</source>
        <translation>Nouveau mot de passe maître</translation>
    </message>
    <message>
        <source>S&amp;how</source>
        <translation>Affich&amp;er</translation>
    </message>
    <message>
        <source>Co&amp;nfirm password:</source>
        <translation>&amp;Confirmez le mot de passe&#xa0;:</translation>
    </message>
    <message>
        <source>Confirmation of the new master password</source>
        <translation>Confirmation du nouveau mot de passe maître</translation>
    </message>
    <message>
        <source>&lt;Password strength&gt;</source>
        <translation>&lt;Force du mot de passe&gt;</translation>
    </message>
    <message>
        <source>Passwords do not match.</source>
        <translation>Les mots de passe ne correspondent pas.</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Annuler</translation>
    </message>
    <message>
        <source>Password strength: &lt;b&gt;%1&lt;/b&gt;</source>
        <translation>Force du mot de passe&#xa0;: &lt;b&gt;%1&lt;/b&gt;</translation>
    </message>
    <message>
        <source>Passwords are matching.</source>
        <translation>Les mots de passe correspondent.</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;a href=&quot;master_password_selection_guide.html&quot;&gt;&lt;span style=&quot; text-decoration: underline;&quot;&gt;How to choose the master password?&lt;/span&gt;&lt;/a&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;a href=&quot;master_password_selection_guide.html&quot;&gt;&lt;span style=&quot; text-decoration: underline;&quot;&gt;Comment choisir le mot de passe maître&#xa0;?&lt;/span&gt;&lt;/a&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
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
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Annuler</translation>
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
        <source>TextLabel</source>
        <translation>Texte</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>O&amp;K</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>&amp;Oui</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>&amp;Non</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Annuler</translation>
    </message>
    <message>
        <source>Success</source>
        <translation>Succès</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Erreur</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>Question</source>
        <translation>Question</translation>
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
    <name>ViewContentPasswordHealth</name>
    <message>
        <source>Summary of the findings</source>
        <translation>Résumé des problèmes détectés</translation>
    </message>
    <message>
        <source>Password health findings</source>
        <translation>Problèmes de mots de passe détectés</translation>
    </message>
    <message>
        <source>Tab</source>
        <translation>Onglet</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nom</translation>
    </message>
    <message>
        <source>Login</source>
        <translation>Identifiant</translation>
    </message>
    <message>
        <source>Finding</source>
        <translation>Problème</translation>
    </message>
    <message>
        <source>Reason</source>
        <translation>Raison</translation>
    </message>
    <message>
        <source>Double-click a row or press Return to edit its record.</source>
        <translation>Double-cliquez sur une ligne ou appuyez sur Entrée pour modifier sa fiche.</translation>
    </message>
    <message>
        <source>&amp;Edit record</source>
        <translation>&amp;Modifier la fiche</translation>
    </message>
    <message>
        <source>&amp;Back</source>
        <translation>&amp;Retour</translation>
    </message>
    <message>
        <source>No weak, reused or empty password found.</source>
        <translation>Aucun mot de passe faible, réutilisé ou vide.</translation>
    </message>
    <message>
        <source>%1 (checking: %2 of %3 records rated)</source>
        <translation>%1 (vérification&#xa0;: %2 fiches évaluées sur %3)</translation>
    </message>
    <message>
        <source>Checking: %1 of %2 records rated</source>
        <translation>Vérification&#xa0;: %1 fiches évaluées sur %2</translation>
    </message>
    <message>
        <source>On Windows the rating knows only the most common passwords, not the large word lists: some passwords made of dictionary words are rated stronger than they are.</source>
        <translation>Sous Windows, l’évaluation ne connaît que les mots de passe les plus courants, pas les grandes listes de mots&#xa0;: certains mots de passe faits de mots du dictionnaire sont jugés plus forts qu’ils ne le sont.</translation>
    </message>
</context>
<context>
    <name>ViewContentPasswordInformation</name>
    <message>
        <source>&amp;Name:</source>
        <translation>&amp;Nom&#xa0;:</translation>
    </message>
    <message>
        <source>This field must not be empty</source>
        <translation>Ce champ ne doit pas être vide</translation>
    </message>
    <message>
        <source>ID / &amp;Login / Email:</source>
        <translation>&amp;Identifiant / Login / E-mail&#xa0;:</translation>
    </message>
    <message>
        <source>&amp;Password:</source>
        <translation>Mot de &amp;passe&#xa0;:</translation>
    </message>
    <message>
        <source>S&amp;how</source>
        <translation>Affich&amp;er</translation>
    </message>
    <message>
        <source>C&amp;opy</source>
        <translation>&amp;Copier</translation>
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
        <source>&amp;Mode:</source>
        <translation>M&amp;ode&#xa0;:</translation>
    </message>
    <message>
        <source>Characters coun&amp;t:</source>
        <translation>Nom&amp;bre de caractères&#xa0;:</translation>
    </message>
    <message>
        <source>Contain lowe&amp;rcase letters</source>
        <translation>Contient des lettres minuscu&amp;les</translation>
    </message>
    <message>
        <source>Contain &amp;uppercase letters</source>
        <translation>Contient des lettres ma&amp;juscules</translation>
    </message>
    <message>
        <source>Contain &amp;digits</source>
        <translation>Contient des c&amp;hiffres</translation>
    </message>
    <message>
        <source>Contain s&amp;ymbols</source>
        <translation>Contient des s&amp;ymboles</translation>
    </message>
    <message>
        <source>&amp;Generate</source>
        <translation>&amp;Générer</translation>
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
        <source>&amp;Web site / URL:</source>
        <translation>Site &amp;web / URL&#xa0;:</translation>
    </message>
    <message>
        <source>Not&amp;e:</source>
        <translation>No&amp;te&#xa0;:</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>En&amp;registrer</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Annuler</translation>
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
        <source>Characters count: %1</source>
        <translation>Nombre de caractères&#xa0;: %1</translation>
    </message>
    <message>
        <source>Discard changes</source>
        <translation>Abandonner les modifications</translation>
    </message>
    <message>
        <source>Discard the changes to this record?</source>
        <translation>Abandonner les modifications de cette fiche&#xa0;?</translation>
    </message>
</context>
<context>
    <name>ViewContentReadDevice</name>
    <message>
        <source>Device name:</source>
        <translation>Nom de l’appareil&#xa0;:</translation>
    </message>
    <message>
        <source>Device name: %1</source>
        <translation>Nom de l’appareil&#xa0;: %1</translation>
    </message>
    <message>
        <source>About %1 minutes left</source>
        <translation>Environ %1&#xa0;minutes restantes</translation>
    </message>
    <message>
        <source>About 1 second left</source>
        <translation>Environ 1&#xa0;seconde restante</translation>
    </message>
    <message>
        <source>About %1 seconds left</source>
        <translation>Environ %1&#xa0;secondes restantes</translation>
    </message>
    <message>
        <source>The device is being read.
Quit once the transfer has finished.</source>
        <translation>L’appareil est en cours de lecture.
Quittez une fois le transfert terminé.</translation>
    </message>
    <message>
        <source>Reading progress</source>
        <translation>Progression de la lecture</translation>
    </message>
</context>
<context>
    <name>ViewContentSettings</name>
    <message>
        <source>Application update</source>
        <translation>Mise à jour de l’application</translation>
    </message>
    <message>
        <source>Check for a &amp;newer application version on start</source>
        <translation>Rechercher une &amp;nouvelle version de l’application au démarrage</translation>
    </message>
    <message>
        <source>Application auto locking</source>
        <translation>Verrouillage automatique de l’application</translation>
    </message>
    <message>
        <source>Automatically &amp;lock the application when the user is inactive for a while</source>
        <translation>&amp;Verrouiller automatiquement l’application après une période d’inactivité</translation>
    </message>
    <message>
        <source>&amp;Delay before locking (in minutes):</source>
        <translation>&amp;Délai avant verrouillage (en minutes)&#xa0;:</translation>
    </message>
    <message>
        <source>Screenshot protection</source>
        <translation>Protection contre les captures d’écran</translation>
    </message>
    <message>
        <source>&amp;Allow taking screenshots of the application displayed content</source>
        <translation>A&amp;utoriser les captures d’écran du contenu affiché par l’application</translation>
    </message>
    <message>
        <source>Screen capture cannot be blocked on this system.</source>
        <translation>Les captures d’écran ne peuvent pas être bloquées sur ce système.</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Enregistrer</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Annuler</translation>
    </message>
    <message>
        <source>Loc&amp;k when the screen is locked or the computer goes to sleep</source>
        <translation>Verrouiller quand l’é&amp;cran est verrouillé ou que l’ordinateur se met en veille</translation>
    </message>
    <message>
        <source>Screen locking and sleep cannot be detected on this system.</source>
        <translation>Le verrouillage de l’écran et la mise en veille ne peuvent pas être détectés sur ce système.</translation>
    </message>
    <message>
        <source>Clipboard</source>
        <translation>Presse-papiers</translation>
    </message>
    <message>
        <source>Clear the clip&amp;board after (in seconds):</source>
        <translation>Vider le &amp;presse-papiers après (en secondes)&#xa0;:</translation>
    </message>
    <message>
        <source>Never</source>
        <translation>Jamais</translation>
    </message>
    <message>
        <source>Device backups</source>
        <translation>Sauvegardes des appareils</translation>
    </message>
    <message>
        <source>&amp;Remind me to back up a device that changed since its last backup</source>
        <translation>Me &amp;rappeler de sauvegarder un appareil modifié depuis sa dernière sauvegarde</translation>
    </message>
</context>
<context>
    <name>ViewContentShowDeviceInformation</name>
    <message>
        <source>Device name:</source>
        <translation>Nom de l’appareil&#xa0;:</translation>
    </message>
    <message>
        <source>-</source>
        <translation>-</translation>
    </message>
    <message>
        <source>Device name</source>
        <translation>Nom de l’appareil</translation>
    </message>
    <message>
        <source>Serial number:</source>
        <translation>Numéro de série&#xa0;:</translation>
    </message>
    <message>
        <source>Serial number</source>
        <translation>Numéro de série</translation>
    </message>
    <message>
        <source>Hardware version:</source>
        <translation>Version matérielle&#xa0;:</translation>
    </message>
    <message>
        <source>Hardware version</source>
        <translation>Version matérielle</translation>
    </message>
    <message>
        <source>Firmware version:</source>
        <translation>Version du micrologiciel&#xa0;:</translation>
    </message>
    <message>
        <source>Firmware version</source>
        <translation>Version du micrologiciel</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>ERROR</source>
        <translation>ERREUR</translation>
    </message>
    <message>
        <source>Could not retrieve the device serial number.</source>
        <translation>Impossible de lire le numéro de série de l’appareil.</translation>
    </message>
    <message>
        <source>Could not retrieve the device hardware and firmware versions.</source>
        <translation>Impossible de lire les versions matérielle et logicielle de l’appareil.</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Erreur</translation>
    </message>
</context>
<context>
    <name>ViewContentStartMenu</name>
    <message>
        <source>Corvane logo</source>
        <translation>Logo Corvane</translation>
    </message>
    <message>
        <source>&amp;Open Corvane</source>
        <translation>&amp;Ouvrir Corvane</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Quitter</translation>
    </message>
    <message>
        <source>Got a new Corvane?</source>
        <translation>Vous avez un nouveau Corvane&#xa0;?</translation>
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
        <source>Start initializing your Corvane</source>
        <translation>Commencer l’initialisation de votre Corvane</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;a href=&quot;getting_started_description.html&quot;&gt;&lt;span style=&quot; text-decoration: underline;&quot;&gt;Open the Getting started tutorial&lt;/span&gt;&lt;/a&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;a href=&quot;getting_started_description.html&quot;&gt;&lt;span style=&quot; text-decoration: underline;&quot;&gt;Ouvrez le tutoriel Bien démarrer&lt;/span&gt;&lt;/a&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;a href=&quot;unused_link&quot;&gt;&lt;span style=&quot; text-decoration: underline;&quot;&gt;start initializing your Corvane&lt;/span&gt;&lt;/a&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;a href=&quot;unused_link&quot;&gt;&lt;span style=&quot; text-decoration: underline;&quot;&gt;commencez l’initialisation de votre Corvane&lt;/span&gt;&lt;/a&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Open Corvane</source>
        <translation>Ouvrir Corvane</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Quitter</translation>
    </message>
</context>
<context>
    <name>ViewContentWriteDevice</name>
    <message>
        <source>Device name:</source>
        <translation>Nom de l’appareil&#xa0;:</translation>
    </message>
    <message>
        <source>Device name: %1</source>
        <translation>Nom de l’appareil&#xa0;: %1</translation>
    </message>
    <message>
        <source>The device is being written: quitting now would leave it half written.
Quit once the transfer has finished.</source>
        <translation>L’appareil est en cours d’écriture&#xa0;: quitter maintenant le laisserait à moitié écrit.
Quittez une fois le transfert terminé.</translation>
    </message>
    <message>
        <source>Writing progress</source>
        <translation>Progression de l’écriture</translation>
    </message>
</context>
<context>
    <name>WeakMasterPasswordQuestion</name>
    <message>
        <source>Weak master password</source>
        <translation>Mot de passe maître faible</translation>
    </message>
    <message>
        <source>This master password is weak. Use it anyway?</source>
        <translation>Ce mot de passe maître est faible. L’utiliser quand même&#xa0;?</translation>
    </message>
</context>
</TS>

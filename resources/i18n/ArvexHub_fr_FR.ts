<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR" sourcelanguage="en_US">
<context>
    <name>ArvexHubLauncher</name>
    <message>
        <source>Dark</source>
        <translation>Sombre</translation>
    </message>
    <message>
        <source>Light</source>
        <translation>Clair</translation>
    </message>
    <message>
        <source>%1 Preferences</source>
        <translation>Préférences de %1</translation>
    </message>
    <message>
        <source>Application</source>
        <translation>Application</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Langue</translation>
    </message>
    <message>
        <source>You must restart the application for it to take this change into account.</source>
        <translation>Vous devez redémarrer l’application pour que ce changement soit pris en compte.</translation>
    </message>
    <message>
        <source>Theme</source>
        <translation>Thème</translation>
    </message>
    <message>
        <source>Change the app&apos;s look. No need to restart.</source>
        <translation>Change l’apparence de l’application. Inutile de redémarrer.</translation>
    </message>
    <message>
        <source>Show Game Information Panel</source>
        <translation>Afficher le panneau d’informations du jeu</translation>
    </message>
    <message>
        <source>Displays detailed information about the selected Game.</source>
        <translation>Affiche des informations détaillées sur le jeu sélectionné.</translation>
    </message>
    <message>
        <source>Ask before removing a game</source>
        <translation>Demander avant de supprimer un jeu</translation>
    </message>
    <message>
        <source>Games are only removed from disk, not from your account.</source>
        <translation>Les jeux sont seulement supprimés du disque, pas de votre compte.</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Réinitialiser</translation>
    </message>
    <message>
        <source>Reset to factory defaults.</source>
        <translation>Rétablir les réglages d’usine.</translation>
    </message>
    <message>
        <source>The game process failed to start.</source>
        <translation>Le processus du jeu n’a pas pu démarrer.</translation>
    </message>
    <message>
        <source>The game process crashed.</source>
        <translation>Le processus du jeu s’est arrêté brutalement.</translation>
    </message>
    <message>
        <source>The game process timed out.</source>
        <translation>Le processus du jeu a dépassé le délai imparti.</translation>
    </message>
    <message>
        <source>An unknown error occurred to the game process.</source>
        <translation>Une erreur inconnue est survenue dans le processus du jeu.</translation>
    </message>
    <message>
        <source>Save To File…</source>
        <translation>Enregistrer dans un fichier…</translation>
    </message>
    <message>
        <source>Playing:</source>
        <translation>En cours :</translation>
    </message>
    <message>
        <source>Clear console</source>
        <translation>Effacer la console</translation>
    </message>
    <message>
        <source>Close console</source>
        <translation>Fermer la console</translation>
    </message>
    <message>
        <source>No game playing</source>
        <translation>Aucun jeu en cours</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Copier</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Tout sélectionner</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Effacer</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>The console log could not be saved</source>
        <translation>Le journal de la console n’a pas pu être enregistré</translation>
    </message>
    <message>
        <source>The file &quot;%1&quot; could not be written: %2</source>
        <translation>Le fichier « %1 » n’a pas pu être écrit : %2</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Oui</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>arvexhub::style::AboutDialog</name>
    <message>
        <source>About</source>
        <translation>À propos</translation>
    </message>
    <message>
        <source>Website</source>
        <translation>Site web</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>About %1</source>
        <translation>À propos de %1</translation>
    </message>
</context>
</TS>
